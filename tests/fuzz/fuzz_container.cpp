// libFuzzer target: the data-file container as an opening meets it. The first
// byte chooses the file's extension (plain, first key, second key); the rest
// is the file. Header, decryption and stream must end in a clean error or a
// base that writes itself out and reads back.

#include "engine/SmallObjectPool.h"
#include "engine/ZEP_BDC.h"
#include "foundation/ZEP_Crypt.h"
#include "foundation/ZEP_Version.h"

#include <cstddef>
#include <cstdint>
#include <string>

static_assert(!tessel::pool::enabled, "the object pool hides misuse from the fuzzer");

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tessel;
  if (size == 0) return 0;
  static const QString names[3] = {"f.OCS", "f.OPF", "f.TSF"};
  const QString& name = names[data[0] % 3];
  MemoryStream file(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  MemoryStream payload;
  try {
    DataFileInfo info;
    StripHeader(file, &info);
    if (IsPlainExtension(name))
      payload = MemoryStream(file.bytes());
    else
      DecryptStream(file, KeyTextFor(name), payload);
  } catch (const StreamReadError&) {
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
