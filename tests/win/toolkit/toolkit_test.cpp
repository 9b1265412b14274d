// The window toolkit in a real Windows message loop: modal results, close
// queries, focus, radio buttons, folder lists, pictures, the taskbar window
// and hand-over between threads. The program carries the setup program's
// resources (the product icon).
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/system.h"
#include "toolkit/application.h"
#include "toolkit/failure.h"
#include "toolkit/folder_controls.h"
#include "toolkit/form.h"
#include "toolkit/picture_decoder.h"
#include "toolkit/program_text.h"

namespace qv {
namespace {

const FormLayout kLayout = {.name = "TestForm", .caption = "Проверка", .bounds = {0, 0, 300, 200}};

// A page-like form: a button bar holding Next (disabled at first when asked)
// and Cancel, an edit box and two radio buttons.
const ControlLayout kControls[] = {
    {.kind = ControlKind::Panel, .name = "Panel1", .bounds = {0, 150, 300, 50}, .tabOrder = 0},
    {.kind = ControlKind::Button, .name = "Next", .parent = "Panel1", .bounds = {100, 10, 75, 25}, .text = "Далее >",
     .tabOrder = 0, .modalResult = ModalResult::Next},
    {.kind = ControlKind::Button, .name = "Cancel", .parent = "Panel1", .bounds = {200, 10, 75, 25},
     .text = "Отмена", .tabOrder = 1, .modalResult = ModalResult::Cancel},
    {.kind = ControlKind::Edit, .name = "Edit1", .bounds = {10, 10, 200, 21}, .tabOrder = 1},
    {.kind = ControlKind::RadioButton, .name = "RadioButton1", .bounds = {10, 40, 150, 17}, .text = "Да",
     .tabOrder = 2},
    {.kind = ControlKind::RadioButton, .name = "RadioButton2", .bounds = {10, 60, 150, 17}, .text = "Нет",
     .tabOrder = 3, .flags = kChecked},
};

class TestForm : public Form {
public:
    TestForm() : Form(kLayout) { Create(nullptr, kControls); }
    int queries = 0;
    int refuseCount = 0;  // close queries to refuse
    std::vector<qv::ModalResult> resultsSeenInQuery;
    // The creation steps in their order, each with whether Next existed.
    std::vector<std::string> creationSteps;

protected:
    void FindControls() override { creationSteps.push_back(Find("Next") ? "FindControls, Next made" : "FindControls"); }
    void FormCreate() override { creationSteps.push_back(Find("Next") ? "FormCreate, Next made" : "FormCreate"); }
    void FormCloseQuery(bool& canClose) override {
        ++queries;
        resultsSeenInQuery.push_back(ModalResult());
        if (refuseCount > 0) {
            --refuseCount;
            canClose = false;
        }
    }
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lp) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    if (std::wstring_view(name) != L"#32770" || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = hwnd;
    return FALSE;
}

// A dialog window (a message box) of the given thread, or nullptr.
HWND ThreadDialog(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void Later(std::function<void()> work) { Application::Instance().Post(std::move(work)); }

void Click(Form& form, const char* name) { SendMessageW(form.Find(name)->hwnd(), BM_CLICK, 0, 0); }

class ToolkitTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application::Instance().Initialize(GetModuleHandleW(nullptr)); }
};

TEST_F(ToolkitTest, ButtonsCloseWithTheirResultAndARefusedQueryResetsIt) {
    TestForm form;
    form.refuseCount = 1;
    auto resultAfterRefusal = static_cast<ModalResult>(-1);
    Later([&] { Click(form, "Cancel"); });  // refused: the form stays
    Later([&] {
        resultAfterRefusal = form.ModalResult();
        Click(form, "Next");
    });
    EXPECT_EQ(form.ShowModal(), ModalResult::Next);
    EXPECT_EQ(resultAfterRefusal, ModalResult::None);
    EXPECT_EQ(form.queries, 2);
    EXPECT_EQ(form.resultsSeenInQuery, (std::vector<ModalResult>{ModalResult::Cancel, ModalResult::Next}));
    EXPECT_FALSE(form.Visible());
    // Showing again starts from result 0.
    Later([&] { PostMessageW(form.hwnd(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(form.ShowModal(), ModalResult::Cancel);  // the close box gives 2
}

TEST_F(ToolkitTest, ControlsAreFoundOnceMadeAndBeforeTheCreationHandlerRuns) {
    TestForm form;
    EXPECT_EQ(form.creationSteps, (std::vector<std::string>{"FindControls, Next made", "FormCreate, Next made"}));
}

// The taskbar shows only the application's window: a form made without an
// owner belongs to it, and it carries the title and the product icon.
TEST_F(ToolkitTest, FormsBelongToTheTaskbarWindowWhichCarriesTitleAndProductIcon) {
    Application& app = Application::Instance();
    app.SetTitle("");
    TestForm form;
    HWND taskbar = app.TaskbarWindow();
    EXPECT_EQ(GetWindow(form.hwnd(), GW_OWNER), taskbar);
    EXPECT_EQ(GetWindowTextLengthW(taskbar), 0);
    for (WPARAM which : {ICON_BIG, ICON_SMALL}) {
        const LRESULT icon = SendMessageW(taskbar, WM_GETICON, which, 0);
        EXPECT_NE(icon, 0);
        EXPECT_EQ(icon, SendMessageW(form.hwnd(), WM_GETICON, which, 0));
    }
}

TEST_F(ToolkitTest, OtherWindowsAreDisabledWhileAFormIsModal) {
    TestForm owner;
    owner.ShowMaximized();
    TestForm modal;
    bool ownerEnabledDuring = true;
    Later([&] {
        ownerEnabledDuring = IsWindowEnabled(owner.hwnd());
        modal.SetModalResult(ModalResult::Next);
    });
    modal.ShowModal();
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

TEST_F(ToolkitTest, FocusGoesToTheFirstEnabledTabStopThenBackToTheLastFocused) {
    TestForm form;
    form.Find("Next")->SetEnabled(false);
    std::string first, second;
    auto focusedName = [&] {
        Control* c = form.FromHwnd(GetFocus());
        return std::string(c ? c->name() : "");
    };
    Later([&] {
        first = focusedName();
        SetFocus(form.Find("Edit1")->hwnd());
        form.SetModalResult(ModalResult::Back);
    });
    form.ShowModal();
    Later([&] {
        second = focusedName();
        form.SetModalResult(ModalResult::Back);
    });
    form.ShowModal();
    EXPECT_EQ(first, "Cancel");  // the panel comes first in tab order; Next is disabled
    EXPECT_EQ(second, "Edit1");
}

TEST_F(ToolkitTest, FocusOrderIsDepthFirstByTabOrder) {
    TestForm form;
    std::vector<std::string> names;
    for (Control* c : form.FocusOrder()) names.push_back(c->name());
    EXPECT_EQ(names, (std::vector<std::string>{"Next", "Cancel", "Edit1", "RadioButton1", "RadioButton2"}));
}

TEST_F(ToolkitTest, TabMovesThroughEnabledStopsAndEnterPressesTheFocusedButton) {
    TestForm form;
    std::vector<std::string> visited;
    Later([&] {
        SetFocus(form.Find("Next")->hwnd());
        for (int i = 0; i < 4; ++i) {
            MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {}};
            form.PreTranslateKey(tab);
            Control* c = form.FromHwnd(GetFocus());
            visited.push_back(c ? c->name() : "?");
        }
        SetFocus(form.Find("Cancel")->hwnd());
        MSG enter{GetFocus(), WM_KEYDOWN, VK_RETURN, 1, 0, {}};
        form.PreTranslateKey(enter);
    });
    EXPECT_EQ(form.ShowModal(), ModalResult::Cancel);
    // The unchosen radio button is not a tab stop; the order wraps around.
    EXPECT_EQ(visited, (std::vector<std::string>{"Cancel", "Edit1", "RadioButton2", "Next"}));
}

TEST_F(ToolkitTest, EscapeDoesNothing) {
    TestForm form;
    auto resultAfterEscape = static_cast<ModalResult>(-1);
    Later([&] {
        MSG escape{form.Find("Cancel")->hwnd(), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
        EXPECT_TRUE(form.PreTranslateKey(escape));
        resultAfterEscape = form.ModalResult();
        form.SetModalResult(ModalResult::Next);
    });
    form.ShowModal();
    EXPECT_EQ(resultAfterEscape, ModalResult::None);
}

TEST_F(ToolkitTest, RadioButtonsExcludeEachOtherAndClickOnlyOnChange) {
    TestForm form;
    auto* yes = form.Get<RadioButton>("RadioButton1");
    auto* no = form.Get<RadioButton>("RadioButton2");
    int clicks = 0;
    yes->OnClick = [&] { ++clicks; };
    no->OnClick = [&] { ++clicks; };
    Click(form, "RadioButton1");
    EXPECT_TRUE(yes->Checked());
    EXPECT_FALSE(no->Checked());
    EXPECT_EQ(clicks, 1);
    Click(form, "RadioButton1");  // already chosen: no change, no click
    EXPECT_EQ(clicks, 1);
    Click(form, "RadioButton2");
    EXPECT_TRUE(no->Checked());
    EXPECT_FALSE(yes->Checked());
    EXPECT_EQ(clicks, 2);
}

TEST_F(ToolkitTest, WorkPostedFromAnotherThreadRunsOnTheUserInterfaceThreadInOrder) {
    TestForm form;
    const DWORD ui = GetCurrentThreadId();
    std::vector<int> order;
    std::atomic<bool> allOnUi{true};
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i) {
            Application::Instance().Post([&, i] {
                if (GetCurrentThreadId() != ui) allOnUi = false;
                order.push_back(i);
                if (i == 49) form.SetModalResult(ModalResult::Next);
            });
        }
    });
    form.ShowModal();
    worker.join();
    EXPECT_TRUE(allOnUi);
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], i);
}

TEST_F(ToolkitTest, AnExceptionInAHandlerIsReportedAndTheLoopGoesOn) {
    TestForm form;
    form.Get<Button>("Next")->OnClick = [] { throw std::runtime_error("Сбой обработчика"); };
    std::string boxText;
    // The error box runs its own loop: find it from a timer and press OK.
    Later([&] { Click(form, "Next"); });
    const DWORD ui = GetCurrentThreadId();
    std::thread closer([&] {
        HWND box = nullptr;
        if (!e2e::WaitFor([&] { return (box = ThreadDialog(ui)) != nullptr; }, std::chrono::seconds(5))) return;
        boxText = e2e::TextOf(GetDlgItem(box, 0xFFFF));
        PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(form.ShowModal(), ModalResult::Next);  // the button's result still counts
    closer.join();
    EXPECT_EQ(boxText, "Сбой обработчика");
}

// A program that keeps its boxes in its own hands (logged, or not shown
// under /SUPPRESSMSGBOXES) gets the error handler's box too.
TEST_F(ToolkitTest, TheErrorHandlersBoxGoesWhereTheProgramSays) {
    TestForm form;
    form.Get<Button>("Next")->OnClick = [] { throw std::runtime_error("Сбой обработчика"); };
    std::string said;
    Application::Instance().SetErrorBox([&](HWND, const std::string& text, const char*) { said = text; });
    Later([&] { Click(form, "Next"); });
    EXPECT_EQ(form.ShowModal(), ModalResult::Next);
    Application::Instance().SetErrorBox(nullptr);
    EXPECT_EQ(said, "Сбой обработчика");
    EXPECT_EQ(ThreadDialog(GetCurrentThreadId()), nullptr);
}

// --- folder widgets --------------------------------------------------------

const ControlLayout kFolderControls[] = {
    {.kind = ControlKind::DirectoryList, .name = "DirList", .bounds = {10, 10, 250, 120}, .tabOrder = 0,
     .itemHeight = 16},
    {.kind = ControlKind::DriveCombo, .name = "DriveList", .bounds = {10, 140, 250, 19}, .tabOrder = 1},
};

class FolderForm : public Form {
public:
    FolderForm() : Form(kLayout) { Create(nullptr, kFolderControls); }
};

TEST_F(ToolkitTest, DirectoryListShowsTheChainThenVisibleSubfoldersAndOpensItems) {
    const e2e::ScratchFolder scratch;
    const std::string root = scratch / "qv-dirlist";
    for (const char* sub : {"beta", "Alpha", "gamma", "Hidden"}) ASSERT_TRUE(e2e::MakeFolders(root + "\\" + sub));
    SetFileAttributesW(qv::ToWide(root + "\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    ASSERT_TRUE(e2e::WriteWhole(root + "\\file.txt", "not a folder"));

    FolderForm form;
    auto* list = form.Get<DirectoryList>("DirList");
    std::vector<std::string> changes;
    list->OnChange = [&] { changes.push_back(list->Directory()); };
    list->SetDirectory(root);
    ASSERT_EQ(changes.size(), 1u);
    const int chain = list->ItemIndex() + 1;
    EXPECT_EQ(list->Item(list->ItemIndex()), "qv-dirlist");
    std::vector<std::string> subfolders;
    for (int i = chain; i < list->Count(); ++i) subfolders.push_back(list->Item(i));
    EXPECT_EQ(subfolders, (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    EXPECT_EQ(list->Item(0).size(), 3u);  // the drive root, "X:\"

    list->OpenItem(chain + 1);  // beta
    EXPECT_EQ(list->Directory(), root + "\\beta");
    list->OpenItem(list->ItemIndex() - 1);  // back up the chain
    EXPECT_EQ(list->Directory(), root);
    list->SetDirectory(root);  // no move, no change event
    EXPECT_EQ(changes.size(), 3u);
    EXPECT_THROW(list->SetDirectory(root + "\\missing"), qv::Failure);
    EXPECT_EQ(list->Directory(), root);
}

TEST_F(ToolkitTest, DriveSelectorMovesTheListToTheDrivesCurrentFolder) {
    FolderForm form;
    auto* list = form.Get<DirectoryList>("DirList");
    auto* drives = form.Get<DriveCombo>("DriveList");
    drives->SetDirList(list);
    int changes = 0;
    list->OnChange = [&] {
        ++changes;
        drives->Follow(list->Directory());
    };
    drives->SetDrive('c');
    EXPECT_EQ(drives->Drive(), 'C');
    ASSERT_GE(list->Directory().size(), 3u);
    EXPECT_EQ(list->Directory().substr(0, 2), "C:");
    EXPECT_EQ(changes, 1);
    // A drive that does not exist is refused and the selector stays.
    EXPECT_THROW(drives->SetDrive('Q'), qv::Failure);
    EXPECT_EQ(drives->Drive(), 'C');
}

// --- pictures ----------------------------------------------------------------

std::vector<unsigned char> ReadAsset(const char* name) {
    std::ifstream file(std::string(QV_SOURCE_DIR "/assets/") + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The pixel at (x, y) of a 24-bit top-down DIB section, as 0xRRGGBB.
unsigned PixelAt(HBITMAP bitmap, int x, int y) {
    DIBSECTION dib{};
    if (GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 24) return ~0u;
    const auto* p = static_cast<const unsigned char*>(dib.dsBm.bmBits) + y * dib.dsBm.bmWidthBytes + x * 3;
    return p[2] << 16 | p[1] << 8 | p[0];
}

TEST_F(ToolkitTest, PictureDecoderReadsJpegAndBmpAndRefusesGarbage) {
    const std::vector<unsigned char> jpeg = ReadAsset("background.jpg");
    ASSERT_FALSE(jpeg.empty());
    DecodedPicture background = DecodePicture(jpeg);
    ASSERT_TRUE(background.bitmap) << background.error;
    EXPECT_EQ(background.width, 752);
    EXPECT_EQ(background.height, 480);

    // A BMP comes through pixel for pixel: its first row is the bottom one.
    const std::vector<unsigned char> bmp = ReadAsset("side.bmp");
    DecodedPicture side = DecodePicture(bmp);
    ASSERT_TRUE(side.bitmap) << side.error;
    EXPECT_EQ(side.width, 164);
    EXPECT_EQ(side.height, 315);
    const unsigned char* stored = bmp.data() + (bmp[10] | bmp[11] << 8 | bmp[12] << 16 | bmp[13] << 24);
    EXPECT_EQ(PixelAt(side.bitmap.get(), 0, 314), static_cast<unsigned>(stored[2] << 16 | stored[1] << 8 | stored[0]));

    const std::vector<unsigned char> cut(jpeg.begin(), jpeg.begin() + 200);
    EXPECT_FALSE(DecodePicture(cut).bitmap);
    const unsigned char garbage[] = {0x00, 0x11, 0x22, 0x33, 0x44};
    DecodedPicture bad = DecodePicture(garbage);
    EXPECT_FALSE(bad.bitmap);
    EXPECT_FALSE(bad.error.empty());
    EXPECT_FALSE(DecodePicture({}).bitmap);
}

}  // namespace
}  // namespace qv
