// The dialog's life: construction, the start-up sequence in its fixed order, the start-up failures,
// the start of the download engine, and the teardown.
#include "app/installer_dialog.h"

#include "app/button_styling.h"
#include "app/config_problem.h"
#include "app/installer_path.h"
#include "app/language_choice.h"
#include "app/patch_selection.h"
#include "app/run_log.h"
#include "app/run_report.h"
#include "app/ui_strings.h"
#include "app/url_check.h"
#include "app/window_geometry.h"
#include "download/web_downloader.h"
#include "platform/system.h"
#include "platform/utf.h"
#include "res/resource_ids.h"

namespace {

constexpr uint32_t kPollMs = 250;
constexpr char16_t kXmlMissing[] = u"Xml file is missing!";
constexpr char16_t kUnrecognizedUrl[] = u"Unrecognized URL";

}  // namespace

CTorvinWebInstallerDlg::CTorvinWebInstallerDlg(const RunOptions& options)
    : m_options(options),
      m_strModulePath(platform::ModulePath()),
      m_strModuleDir(FolderOf(m_strModulePath)),
      m_strRequestedLanguage(options.language),
      m_cancelBinding(m_btnCancel, *this),
      m_linkBinding(m_btnProblemLink, *this) {}

// The skin goes first, then the engine; the worker has stored its final state by now, or was
// never started.
CTorvinWebInstallerDlg::~CTorvinWebInstallerDlg() {
  m_skin = {};
  m_bmpBarFrames = {};
  m_skinSource = {};
  m_designBarFrames = {};
  ShutdownDownloader();
  SetDownloadLog(nullptr);
}

void CTorvinWebInstallerDlg::OnCreate(platform::IWindowHost& host) { m_host = &host; }

void CTorvinWebInstallerDlg::DoDataExchange() {
  m_cancelBinding.Bind(*m_host, IDC_BTN_CANCEL);
  m_linkBinding.Bind(*m_host, IDC_BTN_PROBLEM_LINK);
}

bool CTorvinWebInstallerDlg::OnInitDialog() {
  DoDataExchange();
  m_host->SetWindowIcons();
  m_look = m_host->GetSystemLook();
  DetectPlatform(m_platform);
  TheRun.SetDpi(m_host->GetDpi());
  LogLine({"display: ", m_host->GetDpi(), " DPI"});
  m_vendorFiles = VendorFiles::Open(m_strModulePath, m_strModuleDir);
  m_skinSource = ui::LoadSkinSource(m_vendorFiles);
  ScaleSkin(m_host->GetDpi());
  if (!LoadAndCheckConfiguration()) return true;
  SizeWindowToBackground();
  CentreWindowOnWorkArea();
  m_designBarFrames = ui::LoadBarFrames();
  m_bmpBarFrames = ui::BarFramesAtScale(m_designBarFrames, m_scale);
  PlaceButtons();
  ComputeLayout();
  SetUpButtons();
  m_bFaceSetUp = true;
  if (!ValidateInstallerUrls(m_config)) {
    FailStartUp(RunError::UnrecognizedAddress,
                platform::JoinUtf8({"no link is an address: \"", m_config.strInstallerUrl, "\", \"",
                                    m_config.strDefaultUrl, "\""}),
                kUnrecognizedUrl, std::nullopt, platform::MessageBoxKind::OkCancel, platform::ReadingOrder::LeftToRight);
    return true;
  }
  StartDownloadEngine();
  m_host->SetTimer(IDT_STATUS_POLL, kPollMs);
  return true;
}

// Configuration, patch choice, installer path and the 64-bit gate; false when start-up ended.
// Without a module folder all of it is skipped: the links stay empty and the URL check ends
// start-up. Damaged packed files end it at once, with the configuration's message.
bool CTorvinWebInstallerDlg::LoadAndCheckConfiguration() {
  if (m_vendorFiles.GetOrigin() == VendorFiles::Origin::Damaged) {
    OpenDefaultRunLog(u"");
    FailStartUp(RunError::EmbeddedFilesDamaged, "the files packed into the installer are damaged", kXmlMissing,
                std::nullopt, platform::MessageBoxKind::OkCancel, platform::ReadingOrder::LeftToRight);
    return false;
  }
  m_iniFile = platform::FileSource(kTextsFileName);
  if (m_strModuleDir.empty()) {
    LogLine("the installer's own folder is unknown: no configuration is read");
    return true;
  }
  m_iniFile = m_vendorFiles.File(kTextsFileName);
  ChooseTextsLanguage();
  const platform::FileSource configFile = m_vendorFiles.File(kConfigFileName);
  const std::u16string configPlace = m_vendorFiles.GetOrigin() == VendorFiles::Origin::Packed
                                         ? u"packed in " + m_strModulePath
                                         : m_strModuleDir + u"\\" + kConfigFileName;
  if (!LoadConfiguration(configFile, m_platform, m_config)) {
    OpenDefaultRunLog(m_config.strProductName);
    FailStartUp(RunError::ConfigurationUnusable,
                platform::JoinUtf8({"configuration ", configPlace, ": ", ConfigurationProblem(configFile, m_platform)}),
                kXmlMissing, std::nullopt, platform::MessageBoxKind::OkCancel, platform::ReadingOrder::LeftToRight);
    return false;
  }
  OpenDefaultRunLog(m_config.strProductName);
  LogChosenLinks(configPlace);
  m_host->SetTitle(m_config.strProductName);
  m_config.strPatchUrl = m_config.strInstallerUrl;
  m_config.strPatchSha256 = m_config.strInstallerSha256;
  if (SelectPatchLink(configFile, m_platform, m_config)) {
    m_config.strInstallerUrl = m_config.strPatchUrl;
    m_config.strInstallerSha256 = m_config.strPatchSha256;
  }
  m_strInstallerPath = InstallerPathFor(m_strModuleDir, m_config.strProductName);
  if (m_platform.strBits == u"32") {
    FailStartUp(RunError::NotOn64BitWindows, "the system is 32-bit Windows", Text(IDS_MESSAGE_NOT_SUPPORTED),
                m_config.strProductName, platform::MessageBoxKind::OkExclamation, TextsReadingOrder());
    return false;
  }
  return true;
}

void CTorvinWebInstallerDlg::LogChosenLinks(const std::u16string& configPlace) {
  LogLine({"configuration ", configPlace, ": product \"", m_config.strProductName, "\", ", m_platform.strName, " ",
           m_platform.strBits, "-bit entry \"", m_config.strInstallerUrl, "\", default entry \"",
           m_config.strDefaultUrl, "\", signer \"", m_config.strSigner, "\""});
}

void CTorvinWebInstallerDlg::FailStartUp(RunError error, std::string_view why, const std::u16string& text,
                                         const std::optional<std::u16string>& caption, platform::MessageBoxKind kind,
                                         platform::ReadingOrder order) {
  TheRun.Fail(error, why);
  EndRun(RunOutcome::Failed);
  if (!m_options.AsksNothing()) m_host->ShowMessageBox(text, caption, kind, order);
  OnOK();
}

void CTorvinWebInstallerDlg::EndRun(RunOutcome outcome) {
  if (TheRun.Outcome() != RunOutcome::Unfinished) return;
  TheRun.Conclude(outcome);
  StartRunReport(m_config.strReportUrl);
}

// The texts' language, chosen once: the one the command line asks for, else the first of the user's
// preferred languages that the texts file has a section for (a tag or a shorter form of it). The
// choice and its reason go to the log.
void CTorvinWebInstallerDlg::ChooseTextsLanguage() {
  const std::vector<std::u16string> preferred =
      m_strRequestedLanguage.empty() ? platform::PreferredUILanguages() : std::vector<std::u16string>{};
  m_language = ChooseLanguage(m_strRequestedLanguage, preferred,
                              [this](std::u16string_view tag) { return HasUISection(tag, m_iniFile); });
  LogLine({"texts: ", m_language.why});
}

std::u16string CTorvinWebInstallerDlg::Text(const UIString& text) const {
  return GetUIString(text, m_iniFile, m_language.tag);
}

platform::ReadingOrder CTorvinWebInstallerDlg::TextsReadingOrder() const {
  return m_language.rightToLeft ? platform::ReadingOrder::RightToLeft : platform::ReadingOrder::LeftToRight;
}

// The window takes the background's size at the display scale; without a background it keeps the
// template's size (already at the scale the system made it).
void CTorvinWebInstallerDlg::SizeWindowToBackground() {
  const platform::Rect window = m_host->GetWindowRect();
  const ui::Bitmap& background = m_skinSource.images.background;
  m_designWindowSize = background.Empty() ? ToDesignSize({window.Width(), window.Height()}, m_scale)
                                          : platform::Size{background.Width(), background.Height()};
  m_linkDesignSize = ToDesignSize(m_linkBinding.Window().GetClientSize(), m_scale);
  if (background.Empty()) return;
  const ui::Size size = m_scale.Of(ToUiSize(m_designWindowSize));
  m_host->MoveWindow({window.left, window.top, window.left + size.cx, window.top + size.cy});
}

// Arriving on a monitor of another DPI rescales the window on the way (OnDpiChanged); it is then
// centred again at its new size.
void CTorvinWebInstallerDlg::CentreWindowOnWorkArea() {
  const platform::Rect area = m_host->GetWorkAreaUnderPointer();
  const platform::Size before = WindowSize();
  m_host->MoveWindow(CentredIn(before, area));
  const platform::Size after = WindowSize();
  if (after.width != before.width || after.height != before.height) {
    m_host->MoveWindow(CentredIn(after, area));
  }
}

// Cancel takes the size of its normal image (the template's without one) near the bottom right;
// the link keeps its template size, left of Cancel. Sizes and gaps are at the display scale.
void CTorvinWebInstallerDlg::PlaceButtons() {
  const platform::Size window = WindowSize();
  platform::Size cancel = m_cancelBinding.Window().GetClientSize();
  if (!m_skin.cancelNormal.Empty()) cancel = {m_skin.cancelNormal.Width(), m_skin.cancelNormal.Height()};
  const DialogButtonPlaces places =
      PlaceDialogButtons(ToUiSize(window), ToUiSize(cancel), m_scale.Of(ToUiSize(m_linkDesignSize)), m_scale,
                         m_language.rightToLeft);
  m_cancelBinding.Move(ToWindowRect(places.cancel));
  m_linkBinding.Move(ToWindowRect(places.link));
}

void CTorvinWebInstallerDlg::ComputeLayout() {
  m_layout = ui::ComputeLayout(ToUiSize(m_designWindowSize), m_designBarFrames[0],
                               m_skinSource.images.statusBack, m_scale, m_language.rightToLeft);
}

void CTorvinWebInstallerDlg::SetUpButtons() {
  m_cancelBinding.Window().SetText(Text(IDS_TEXT_CANCEL));
  m_cancelBinding.Window().Redraw();
  m_linkBinding.Window().SetText(Text(IDS_DOWNLOAD_PROBLEM));
  m_linkBinding.Window().Redraw();
  m_btnProblemLink.SetUrl(Text(IDS_DOWNLOAD_PROBLEM_RLINK));
  m_cancelBinding.Window().SetTooltipReadingOrder(TextsReadingOrder());
  m_linkBinding.Window().SetTooltipReadingOrder(TextsReadingOrder());
  StyleButtons();
}

// The buttons' fonts, colours and images at the current scale and in the current cancel state; the
// captured background is taken again.
void CTorvinWebInstallerDlg::StyleButtons() {
  StyleDialogButtons(m_btnCancel, m_btnProblemLink, m_skin, m_scale, m_bCancelConfirmed,
                     m_language.rightToLeft, FacePalette());
}

// The engine starts only with a destination that is a plain file of the executable's folder and a
// successful set-up; otherwise nothing is polled and the failure text shows for a moment.
void CTorvinWebInstallerDlg::StartDownloadEngine() {
  if (m_strModuleDir.empty() || !IsPlainFileName(m_config.strProductName + u".exe")) {
    TheRun.Fail(RunError::ProductNameNotAFileName,
                platform::JoinUtf8({"the product name \"", m_config.strProductName, "\" is not a plain file name"}));
    return;
  }
  SetDownloadLog(&TheRun);  // the engine's steps go to the log, its failures to the run's record
  CWebDownloader* downloader = GetDownloader();
  if (!downloader->Init(m_config.strInstallerUrl, m_config.strDefaultUrl, m_strInstallerPath)) return;
  downloader->SetInstallerChecks({m_config.strInstallerSha256, m_config.strSigner},
                                 {m_config.strDefaultSha256, m_config.strSigner});
  {
    // The worker is not running yet; the lock is taken only for form's sake.
    std::lock_guard lock(StatusLock);
    SharedStatus.state = STATUS_INIT;
    SharedStatus.received = 0;
  }
  m_bEngineStarted = downloader->ResumeWorker();
  if (m_bEngineStarted) {
    TheRun.End(RunPhase::StartUp);
  } else {
    TheRun.Fail(RunError::DownloadNotStarted, "the system refused to start the download's worker");
  }
}

void CTorvinWebInstallerDlg::OnClicked(int id) {
  if (id == IDC_BTN_CANCEL) OnCancelClicked();
}

// Closing the window from the keyboard or the system asks the same question as Cancel: the engine
// must wind down before the dialog may end.
void CTorvinWebInstallerDlg::OnCloseRequest() { OnCancelClicked(); }

void CTorvinWebInstallerDlg::OnOK() { EndDialog(platform::kResultOk); }

void CTorvinWebInstallerDlg::OnCancel() { EndDialog(platform::kResultCancel); }

void CTorvinWebInstallerDlg::EndDialog(int result) {
  m_host->SetTaskbarProgress(platform::TaskbarProgress::None, 0, 0);
  m_host->EndDialog(result);
}
