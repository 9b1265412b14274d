// The setup program's entry: creates the eight windows in their order, runs
// the message loop until the background window closes, and returns 0.
#include <windows.h>

#include <exception>
#include <memory>

#include "toolkit/application.h"
#include "wizard/forms.h"

TForm1* Form1 = nullptr;
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

// Makes the form, keeps the program-wide reference, hands it to the application.
template <typename T, typename... Args>
void CreateForm(T*& reference, Args... args) {
    auto form = std::make_unique<T>();
    reference = form.get();
    qv::Application::Instance().AddForm(std::move(form));
    reference->Build(args...);
}

void Start(HINSTANCE instance) {
    qv::Application& app = qv::Application::Instance();
    app.Initialize(instance);
    app.SetTitle("");
    // Ended before the wizard ran (closed from outside, say): nothing installed.
    app.SetExitCode(static_cast<int>(qv::SetupExit::CancelledBefore));
    CreateForm(Form1);
#ifdef QV_TEST_PRIVILEGES
    Form1->privileges = &qv::TestPrivilegeApi();
#endif
    HWND owner = Form1->hwnd();
    CreateForm(Form2, owner);
    CreateForm(Form3, owner);
    CreateForm(Form4, owner);
    CreateForm(Form5, owner);
    CreateForm(Form6, owner);
    CreateForm(Form7, owner);
    CreateForm(Form8, owner);
    app.Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    qv::Application& app = qv::Application::Instance();
    app.Guard([instance] { Start(instance); });
    return app.ExitCode();
}
