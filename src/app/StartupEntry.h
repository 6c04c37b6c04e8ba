#pragma once
// Starting the program when the user logs on: an XDG autostart entry
// "<config>/autostart/<program>.desktop", where <config> is $XDG_CONFIG_HOME
// or ~/.config. Failures are silent: the entry is then left as it was.

#include <QString>

namespace tessel {

// Full path of the entry; empty when there is no configuration folder.
QString AutostartEntryPath();

// Whether the entry exists.
bool StartsWithWindows();
// On: creates the entry (pointing at this program) when it is missing.
// Off: deletes it when it exists.
void SetStartWithWindows(bool on);

} // namespace tessel
