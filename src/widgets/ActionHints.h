#pragma once
// Captions and hints of actions, shown alike by menus and tool bars.

#include <QString>

class QAction;

namespace tessel {

// Text of menus and tool buttons alike: tool buttons otherwise drop the
// trailing "..." and the access-letter marks from their caption.
void SetCaption(QAction* action, const QString& caption);
// "short|long": the short part is the tool tip, the long part the status
// text; without "|" both are the whole hint.
void SetHint(QAction* action, const QString& hint);

} // namespace tessel
