// The two non-blocking questions a transfer asks while it runs: stop, or hold for now.
#pragma once

#include "download/download_status.h"
#include "download/event.h"

class ICancelRequest {
 public:
  virtual ~ICancelRequest() = default;
  virtual bool IsCancelled() = 0;
  virtual bool IsPaused() = 0;
};

// Answers from the process-wide events; the cancel event is borrowed, never owned.
class CancelRequest : public ICancelRequest {
 public:
  explicit CancelRequest(Event& cancelEvent) : m_hCancelEvent(&cancelEvent) {}
  bool IsCancelled() override { return m_hCancelEvent->IsSet(); }
  bool IsPaused() override { return !RunEvent.IsSet(); }

 private:
  Event* m_hCancelEvent;
};
