// robase: the block's own stream "BLOCK_SPECIFIC_XML" beside the framework's
// data, holding the LE and HL bases as a small XML text after its length.
#include <cstddef>
#include <string>
#include <vector>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "core/robase.h"

namespace {

const wchar_t* const kStreamName = L"BLOCK_SPECIFIC_XML";

// Longest stored text accepted on load; the real text is under 100 bytes.
constexpr long kMaxStoredText = 1L << 20;

std::string blockXml(int leBasis, int hlBasis) {
  return std::string("<blockSpecificData><basisLE>") + basisWord(leBasis) + "</basisLE><basisHL>" +
         basisWord(hlBasis) + "</basisHL></blockSpecificData>";
}

// Applies the word between the first open and the first close tag, when both
// are present. A close tag before the open tag takes the rest of the text.
void readBasis(const std::string& text, const std::string& tag, int& code) {
  const std::string open = "<" + tag + ">";
  const std::string close = "</" + tag + ">";
  const std::size_t p = text.find(open);
  const std::size_t q = text.find(close);
  if (p == std::string::npos || q == std::string::npos) return;
  const std::size_t from = p + open.size();
  const std::string word = q >= from ? text.substr(from, q - from) : text.substr(from);
  code = basisCode(toUpper(word));
}

// Reads the stored text; false when the stream holds no usable text (a short
// read, or a length that is negative, beyond the stream or over the limit).
bool readStoredText(IStream* stream, std::string& text) {
  QivIStreamWrapper in(stream);
  long n = 0;
  in >> n;
  if (in.error()) return false;
  if (n <= 0) return true;  // stored empty: both codes stay
  if (n > kMaxStoredText || static_cast<std::size_t>(n) > in.remaining()) return false;
  std::vector<char> buf(static_cast<std::size_t>(n) + 1, '\0');
  const std::size_t got = in.read_text(buf.data(), buf.size());
  text.assign(buf.data(), got < buf.size() ? got : buf.size() - 1);
  return true;
}

}  // namespace

long robase::save(IStorage* stg) {
  return guardCall<long>(1, [&]() -> long {
    const long status = QivEOBlockImpl::save(stg);
    if (!stg) return status;
    const std::string xml = blockXml(m_leBasis, m_hlBasis);
    long result = 0;
    QivIStorageWrapper storage(stg);
    IStream* stream = storage.OpenStream(kStreamName, STGM_CREATE_RW, result);
    // A storage that refuses the stream leaves the framework's status as it
    // is (the bases are simply not kept). But a stream that could not be had
    // for want of memory, or one opened and then not written whole, fails the
    // save: the block would come back with the bases of its options, or with
    // a cut stream. The framework's own failure status is kept.
    if (!stream) return status == 0 && result == STG_E_INSUFFICIENTMEMORY ? 1L : status;
    QivIStreamWrapper out(stream);
    out << static_cast<long>(xml.size());
    out << xml.c_str();
    stream->Release();
    return status != 0 || !out.error() ? status : 1L;
  });
}

long robase::load(IStorage* stg) {
  return guardCall<long>(1, [&]() -> long {
    if (stg) {
      long result = 0;
      QivIStorageWrapper storage(stg);
      IStream* stream = storage.OpenStream(kStreamName, STGM_READ, result);
      // A stream the storage does not hold or refuses leaves the bases as
      // they are; one it could not open for want of memory fails the load.
      if (!stream && result == STG_E_INSUFFICIENTMEMORY) return 1L;
      if (stream) {
        std::string text;
        bool usable = false;
        try {
          usable = readStoredText(stream, text);
        } catch (...) {
          stream->Release();
          throw;
        }
        stream->Release();
        if (usable) {
          readBasis(text, "basisLE", m_leBasis);
          readBasis(text, "basisHL", m_hlBasis);
        }
      }
    }
    return QivEOBlockImpl::load(stg);
  });
}
