// The size probe: a GET for the first byte only, whose reply tells the whole file's size without
// its body ever crossing the network.
#include "download/http_request.h"
#include "download/http_transfer.h"
#include "download/reply_fields.h"

namespace {

using namespace platform::http;

// The probe's length buffer holds 32 bytes: 15 UTF-16 units and the terminator.
constexpr size_t kMaxLengthText = 15;

// A server that honours the range gives the size as the Content-Range total (its Content-Length
// is 1); one that cannot satisfy it (an empty file) gives "*/0".
uint64_t SizeFromContentRange(Request& request) {
  std::optional<std::u16string> text = ReplyHeader(request, Header::ContentRange);
  std::optional<ContentRange> range = text ? ParseContentRange(*text) : std::nullopt;
  return range && range->total ? *range->total : 0;
}

// A server that ignores the range answers as to a plain GET: the size is its Content-Length.
uint64_t SizeFromContentLength(Request& request) {
  std::optional<std::u16string> text = ReplyHeader(request, Header::ContentLength);
  if (!text || text->size() > kMaxLengthText) return 0;
  return ParseDecimal(*text).value_or(0);
}

}  // namespace

uint64_t ProbeSize(const std::u16string& url, AbortSwitch* abortSwitch) {
  OpenedRequest opened;
  if (!OpenHttpRequest(url, nullptr, {u"application/xml", u"*/*"}, REQUEST_RELOAD | REQUEST_NO_UI,
                       abortSwitch, opened) ||
      !AddRequestHeader(*opened.request, RangeHeaderLine(0, 0))) {
    return 0;
  }
  uint32_t status = 0;
  if (SendRequest(*opened.request) != SendResult::Replied || !QueryStatusCode(*opened.request, status))
    return 0;
  // Every status from 200 to 500 but 404 may carry the size.
  if (status == 404 || status < 200 || status > 500) return 0;
  if (status == 206 || status == 416) return SizeFromContentRange(*opened.request);
  return SizeFromContentLength(*opened.request);
}
