// The installer's one window: the skinned dialog that starts up, follows the download by polling,
// asks before cancelling, launches the downloaded installer and ends.
#pragma once

#include <cstdint>
#include <string>

#include "app/button_binding.h"
#include "app/error_codes.h"
#include "app/installer_config.h"
#include "app/language_choice.h"
#include "app/platform_checks.h"
#include "app/run_options.h"
#include "app/run_record.h"
#include "app/vendor_files.h"
#include "app/ui_strings.h"
#include "download/download_status.h"
#include "platform/window.h"
#include "ui/skin.h"
#include "ui/torvin_button.h"
#include "ui/window_painting.h"

// The polling timer of the install flow.
inline constexpr uint32_t IDT_STATUS_POLL = 32769;

class CTorvinWebInstallerDlg final : public platform::IDialogEvents, public IParentFace {
 public:
  // The dialog keeps a reference to `options`, which must outlive it.
  explicit CTorvinWebInstallerDlg(const RunOptions& options = kNoSwitches);
  CTorvinWebInstallerDlg(RunOptions&&) = delete;
  ~CTorvinWebInstallerDlg() override;
  CTorvinWebInstallerDlg(const CTorvinWebInstallerDlg&) = delete;
  CTorvinWebInstallerDlg& operator=(const CTorvinWebInstallerDlg&) = delete;

  // Runs the dialog from its template until it ends; the result is not used by anybody.
  int DoModal();

  // Binds control 1000 to m_btnCancel and 1001 to m_btnProblemLink.
  void DoDataExchange();

  // Window events.
  void OnCreate(platform::IWindowHost& host) override;
  bool OnInitDialog() override;
  void OnTimer(uint32_t id) override;
  void OnEraseBkgnd() override;
  void OnPaint() override;
  void OnMouseMove(platform::Point at) override;
  void OnLButtonDown(platform::Point at) override;
  void OnLButtonUp(platform::Point at) override;
  void OnClicked(int id) override;
  void OnCloseRequest() override;
  void OnDpiChanged(int32_t dpi, const platform::Rect& suggested) override;
  void OnSystemLookChanged() override;
  platform::AccessibleFace DescribeFace() override;

  // The buttons take their background from the composed face.
  const ui::Bitmap& ParentFace() override { return Face(); }
  void DecorateButton(const ui::CTorvinButton& button, ui::Bitmap& surface,
                      const platform::ItemState& state) override;

  // The install flow.
  void ShowStatus(int32_t state);
  void ShowProgress(uint64_t received);
  void OnCancelClicked();
  // Asks whether to cancel; true for Yes.
  bool ConfirmCancel();

  // How the dialog ends.
  void OnOK();
  void OnCancel();

  // The command line's switches: questions and message boxes, the installer's arguments.
  const RunOptions& m_options;
  std::u16string m_strModulePath;  // the running executable; empty when it cannot be learned
  std::u16string m_strModuleDir;
  // The configuration, texts and skin: packed inside the executable, or beside it.
  VendorFiles m_vendorFiles;
  InstallerConfig m_config;
  platform::FileSource m_iniFile{u""};
  // The language the command line asks for ("/lang TAG"); empty: the user's preferred languages
  // choose.
  std::u16string m_strRequestedLanguage;
  LanguageChoice m_language;
  PlatformInfo m_platform;
  std::u16string m_strInstallerPath;
  int32_t m_nLastState = 0;
  std::u16string m_strStatusText;
  uint64_t m_ullShownBytes = 0;
  uint32_t m_nShownRestarts = 0;  // the engine's count of new starts from byte 0 as last seen
  uint64_t m_ullTotalBytes = 0;
  bool m_bCancelConfirmed = false;
  // The skin as shipped, and its images and tiles in device pixels at the display scale.
  ui::SkinSource m_skinSource;
  ui::BarFrames m_designBarFrames;
  ui::DisplayScale m_scale;
  ui::SkinImages m_skin;
  ui::BarFrames m_bmpBarFrames;
  ui::Layout m_layout;
  bool m_bProgressDirty = false;
  bool m_bStatusDirty = false;
  bool m_bCloseHot = false;
  bool m_bDragging = false;
  bool m_bMinimizeHot = false;
  ui::CTorvinButton m_btnCancel;
  ui::CTorvinButton m_btnProblemLink;
  // The download engine's worker was started: only then is the status record polled.
  bool m_bEngineStarted = false;
  // Ticks seen while no engine runs or after a launch that failed (the failure text is shown for a
  // moment, then the dialog ends).
  int32_t m_nIdleTicks = 0;
  bool m_bLaunchFailed = false;
  // Belongs to the timer handler: the launch waits for the second tick that sees state 8.
  bool s_bLaunchArmed = false;
  // The cancel question is on screen.
  bool m_bAskingCancel = false;
  // High contrast and animations as the system last reported them.
  platform::SystemLook m_look;
  // The progress strip has been painted; and what assistive technology was last told of the
  // progress and the status.
  bool m_bProgressShown = false;
  std::u16string m_strAnnouncedProgress;
  std::u16string m_strAnnouncedStatus;
  // The launched installer, for a wait on its end after the dialog.
  platform::ProcessHandle m_launchedInstaller;

 private:
  bool LoadAndCheckConfiguration();
  void LogChosenLinks(const std::u16string& configPlace);
  // Ends start-up: the failure logged with its code and reported, its message box shown unless
  // nothing may be asked, and the dialog ended.
  void FailStartUp(RunError error, std::string_view why, const std::u16string& text,
                   const std::optional<std::u16string>& caption, platform::MessageBoxKind kind,
                   platform::ReadingOrder order);
  // The run's outcome is known: recorded, and the report sent.
  void EndRun(RunOutcome outcome);
  void ChooseTextsLanguage();
  std::u16string Text(const UIString& text) const;
  platform::ReadingOrder TextsReadingOrder() const;
  void ScaleSkin(int32_t dpi);
  void SizeWindowToBackground();
  void CentreWindowOnWorkArea();
  void PlaceButtons();
  void ComputeLayout();
  void SetUpButtons();
  void StyleButtons();
  void StartDownloadEngine();
  DownloadStatus PollStatus();
  void OnCancelModeTick(const DownloadStatus& status);
  bool OnNormalTick(const DownloadStatus& status);
  bool LaunchInstaller();
  void ShowTaskbarProgress(int32_t state);
  // A painted caption button drawn straight onto the window, normal or under the pointer.
  void DrawCaptionButton(ui::CaptionButton button, bool hot);
  const ui::Bitmap& Face();
  ui::FaceState MakeFaceState() const;
  ui::Palette FacePalette() const;
  // Tells assistive technology of a new status text or a new whole percent.
  void AnnounceStatus();
  void AnnounceProgress();
  platform::Size WindowSize();
  // Clears the taskbar's progress and ends the modal loop.
  void EndDialog(int result);

  platform::IWindowHost* m_host = nullptr;
  ButtonBinding m_cancelBinding;
  ButtonBinding m_linkBinding;
  // What the kept static face was composed from.
  struct FaceKey {
    ui::Size window;
    double scale = 1.0;  // the skin images are those of this scale
    ui::Layout layout;
    std::u16string productName;
    ui::Palette palette;
    friend bool operator==(const FaceKey&, const FaceKey&) = default;
  };
  ui::Bitmap m_face;
  FaceKey m_faceKey;
  // The window's size in design pixels, and the link button's (its template size), taken once the
  // window exists: the device sizes follow from them at every scale.
  platform::Size m_designWindowSize;
  platform::Size m_linkDesignSize;
  // Start-up has placed and scaled the buttons and the layout; until then a DPI change (the window
  // arriving on the pointer's monitor) only rescales the skin and the window.
  bool m_bFaceSetUp = false;
};
