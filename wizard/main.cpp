// The setup program's entry: reads the command line, creates the eight
// windows in their order, runs the message loop until the background window
// closes, and returns the exit code of what the run did.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "engine/szdd.h"
#include "engine/win_boxes.h"
#include "engine/win_run_log.h"
#include "pages/forms.h"
#include "toolkit/application.h"
#include "toolkit/resources.h"
#include "toolkit/safe_dll.h"
#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"
#include "wizard/Formmain.h"
#include "wizard/messages.h"
#include "wizard/run_options.h"

TForm2* Form2 = nullptr;
TForm3* Form3 = nullptr;
TForm4* Form4 = nullptr;
TForm5* Form5 = nullptr;
TForm6* Form6 = nullptr;
TForm7* Form7 = nullptr;
TForm8* Form8 = nullptr;

#ifdef QV_TEST_PRIVILEGES
#include "wizard/test_privileges.h"
#endif

namespace {

// The background window: the wizard's own, which no page needs to know.
TForm1* Form1 = nullptr;

// Held for the whole run: a second setup program started meanwhile finds it.
constexpr char kOneSetupMutex[] = "Global\\QuorVel 2.0 Setup";
constexpr char kAlreadyRunning[] = "Программа установки уже запущена.";
constexpr char kSeeHelp[] = "\n\nСписок параметров: setup.exe /?";
constexpr char kCommandLineNotText[] = "Командная строка содержит имя, которое не является текстом Юникода.";

// Makes the form, keeps the program-wide reference, hands it to the
// application; the caller builds it.
template <typename T, typename... Args>
T& AddForm(T*& reference, Args... args) {
    auto form = std::make_unique<T>(args...);
    reference = form.get();
    qv::Application::Instance().AddForm(std::move(form));
    return *reference;
}

// The run's log, as the command line asks for it; `problem` says why a log
// that was asked for cannot be written.
std::unique_ptr<qv::RunLog> OpenRunLog(const qv::RunOptions& options, std::string& problem) {
    if (!options.log) return std::make_unique<qv::NoRunLog>();
    const std::string path = options.logFile.empty() ? qv::DefaultRunLogPath("QuorVel-Setup-") : options.logFile;
    auto file = std::make_unique<qv::FileRunLog>(path);
    if (!file->ok()) problem = "Не удалось создать файл журнала " + path + ": " + qv::SystemErrorText(file->error());
    return file;
}

// A log that was asked for and cannot be written ends the run before it
// changes anything: in a box, or on the standard error stream when boxes
// are suppressed.
int CannotWriteLog(const qv::RunOptions& options, const std::string& problem) {
    if (options.BoxesSuppressed()) {
        const std::string line = problem + "\r\n";
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    } else {
        MessageBoxW(nullptr, qv::ToWide(problem).c_str(), qv::ToWide(qv::kRightsErrorCaption).c_str(), MB_ICONERROR | MB_OK);
    }
    return static_cast<int>(qv::SetupExit::CouldNotStart);
}

// Something that keeps the program from starting: a box for a person, only
// the log in an unattended run; the exit code says which.
int CannotStart(const qv::RunOptions& options, const std::string& text, qv::SetupExit code) {
    const qv::Boxes& boxes = qv::RunBoxes();
    if (options.Unattended()) {
        boxes.Log().Write(text);
    } else {
        boxes.Show(nullptr, text, qv::kRightsErrorCaption, MB_ICONERROR | MB_OK, IDOK);
    }
    return static_cast<int>(code);
}

// Runs the program once its log and boxes are set up; the exit code.
int Run(HINSTANCE instance, const qv::RunOptions& options) {
    if (!options.error.empty()) return CannotStart(options, options.error + kSeeHelp, qv::SetupExit::CouldNotStart);
    if (options.help) {
        qv::RunBoxes().Show(nullptr, qv::RunOptionsHelp(), qv::kRightsErrorCaption, MB_ICONINFORMATION | MB_OK, IDOK);
        return static_cast<int>(qv::SetupExit::Installed);
    }
    const qv::UniqueHandle oneSetup(CreateMutexW(nullptr, TRUE, qv::ToWide(kOneSetupMutex).c_str()));
    if (oneSetup && GetLastError() == ERROR_ALREADY_EXISTS) return CannotStart(options, kAlreadyRunning, qv::SetupExit::AlreadyRunning);

    qv::Application& app = qv::Application::Instance();
    app.Initialize(instance);
    app.SetTitle("");
    // Ended before the wizard ran (closed from outside, say): nothing installed.
    app.SetExitCode(static_cast<int>(qv::SetupExit::CancelledBefore));
    AddForm(Form1).Build(options);
#ifdef QV_TEST_PRIVILEGES
    Form1->privileges = &qv::TestPrivilegeApi();
#endif
    // Shown, the background goes on screen at once; the pages, hidden until
    // the driver's first tick, are made behind it, in their order.
    if (!options.Unattended()) app.ShowMainForm();
    HWND owner = Form1->hwnd();
    AddForm(Form2).Build(owner);
    AddForm(Form3).Build(owner);
    AddForm(Form4).Build(owner);
    AddForm(Form5).Build(owner);
    AddForm(Form6).Build(owner);
    // The pause after each entry is for a person watching the progress.
    AddForm(Form7, !options.Unattended()).Build(owner);
    AddForm(Form8).Build(owner);
    Form1->PagesCreated();
    app.Run(!options.Unattended());
    return app.ExitCode();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    qv::LimitDllSearch();  // before anything else can load a DLL
    qv::SetPictureExpander(qv::ExpandSzddWhole);  // the page pictures are packed as the payload is
    // Every part of the command line reaches the program as it was given,
    // or the program does nothing.
    const std::optional<std::string> commandLine = qv::FromWide(GetCommandLineW());
    qv::RunOptions options = qv::ParseRunOptions(commandLine.value_or(""));
    if (!commandLine) options.error = kCommandLineNotText;
    std::string logProblem;
    const std::unique_ptr<qv::RunLog> log = OpenRunLog(options, logProblem);
    if (!logProblem.empty()) return CannotWriteLog(options, logProblem);
    qv::SetRunBoxes(qv::Boxes(*log, options.BoxesSuppressed()));
    // The general error handler's box is one of the run's boxes too: logged,
    // and never shown under /SUPPRESSMSGBOXES.
    qv::Application::Instance().SetErrorBox([](HWND owner, const std::string& text, const char* caption) {
        qv::RunBoxes().Show(owner, text, caption, MB_ICONERROR | MB_OK, IDOK);
    });
    log->Write("Программа установки Кворвель 2.0, версия 2.0.0.0");
    log->Write("Командная строка: " + commandLine.value_or(""));

    // An error nobody expected is shown in the standard error box, and the
    // run counts as failed.
    int exitCode = static_cast<int>(qv::SetupExit::Failed);
    qv::Application::Instance().Guard([&] { exitCode = Run(instance, options); });
    log->Write("Код завершения: " + std::to_string(exitCode));
    qv::ResetRunBoxes();  // the log goes now
    return exitCode;
}
