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

ProbeReply ProbeLink(const std::u16string& url, AbortSwitch* abortSwitch) {
  ProbeReply reply;
  OpenedRequest opened;
  if (!OpenHttpRequest(url, nullptr, {u"application/xml", u"*/*"},
                       REQUEST_RELOAD | REQUEST_NO_CACHE_WRITE | REQUEST_NO_UI, abortSwitch, opened) ||
      !AddRequestHeader(*opened.request, RangeHeaderLine(0, 0))) {
    return reply;
  }
  const SendResult sent = SendRequest(*opened.request);
  if (sent != SendResult::Replied) {
    reply.outcome = sent;
    return reply;
  }
  if (!QueryStatusCode(*opened.request, reply.status)) return reply;
  reply.outcome = SendResult::Replied;
  QueryRedirects(*opened.request, reply.redirects);
  // Every status from 200 to 500 but 404 may carry the size.
  if (reply.status == 404 || reply.status < 200 || reply.status > 500) return reply;
  reply.size = reply.status == 206 || reply.status == 416 ? SizeFromContentRange(*opened.request)
                                                          : SizeFromContentLength(*opened.request);
  return reply;
}

uint64_t ProbeSize(const std::u16string& url, AbortSwitch* abortSwitch) {
  return ProbeLink(url, abortSwitch).size;
}
