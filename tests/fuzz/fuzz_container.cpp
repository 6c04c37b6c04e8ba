// libFuzzer target: the data-file container as an opening meets it. The first
// byte chooses the file's extension (plain, first key, second key); the rest
// is the file. Header, decryption and stream must end in a clean error or a
// base that writes itself out and reads back.

#include "engine/SmallObjectPool.h"
#include "engine/ZEP_BDC.h"
#include "foundation/Errors.h"
#include "foundation/ZEP_Version.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

static_assert(!tessel::pool::enabled, "the object pool hides misuse from the fuzzer");

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tessel;
  if (size == 0) return 0;
  static const QString names[3] = {"f.OCS", "f.OPF", "f.TSF"};
  const QString& name = names[data[0] % 3];
  // Split as a reading of the file splits it, then taken apart as an opening does.
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t headLength = std::min(DataFileHeaderLength(file.substr(0, 12)), file.size());
  std::string body(file.substr(headLength));
  MemoryStream payload;
  try {
    DataFileInfo info;
    TakePayload(name, file.substr(0, headLength), body, payload, &info);
  } catch (const DataFileError&) {
    return 0;
  }
  MBC base;
  try {
    base.lire(payload);
  } catch (const StreamIntegrityError&) {
    // Read whole: what it holds must still write out and read back.
  } catch (const StreamReadError&) {
    return 0;
  }
  MemoryStream written = base.ecrire();
  MBC again;
  again.lire(written);
  return 0;
}
