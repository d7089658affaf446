// Describing the face for assistive technology.
#include "ui/face_description.h"

namespace ui {
namespace {

platform::Rect ToSeam(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

platform::AccessibleItem Item(platform::AccessibleRole role, std::u16string_view name, const Rect& rect) {
  platform::AccessibleItem item;
  item.role = role;
  item.name = std::u16string(name);
  item.rect = ToSeam(rect);
  return item;
}

platform::AccessibleItem ButtonItem(platform::AccessibleRole role, const FaceButton& button,
                                    std::u16string_view action) {
  platform::AccessibleItem item = Item(role, button.caption, button.rect);
  item.defaultAction = std::u16string(action);
  item.focusable = true;
  item.controlId = button.controlId;
  return item;
}

}  // namespace

std::u16string ProgressValue(const FaceState& state, bool progressShown) {
  if (!progressShown) return {};
  const BarFill fill = ComputeBarFill(state.shownBytes, state.totalBytes, state.layout.rcBar.Width());
  if (fill.complete) return u"100%";
  return fill.showPercent ? PercentText(fill.percent) : std::u16string();
}

platform::AccessibleFace DescribeFace(const FaceState& state, bool progressShown, const FaceButton& cancel,
                                      bool cancelConfirmed, const FaceButton& link, std::u16string_view address) {
  using platform::AccessibleRole;
  platform::AccessibleFace face;
  face.window = Item(AccessibleRole::Dialog, state.productName, RectOf(Point{}, state.window));
  // The heading above the bar names what it measures.
  platform::AccessibleItem& progress = face.parts[platform::kAccessibleProgress];
  progress = Item(AccessibleRole::ProgressBar, state.productName, ProgressStripRect(state.layout, state.scale));
  progress.value = ProgressValue(state, progressShown);
  face.parts[platform::kAccessibleStatus] = Item(AccessibleRole::StaticText, state.statusText, state.layout.rcStatus);

  platform::AccessibleItem& cancelItem = face.parts[platform::kAccessibleCancel];
  cancelItem = ButtonItem(AccessibleRole::PushButton, cancel, u"Press");
  cancelItem.unavailable = cancelConfirmed;
  cancelItem.focusable = !cancelConfirmed;
  platform::AccessibleItem& linkItem = face.parts[platform::kAccessibleLink];
  linkItem = ButtonItem(AccessibleRole::Link, link, u"Jump");
  linkItem.value = std::u16string(address);
  linkItem.linked = true;
  return face;
}

}  // namespace ui
