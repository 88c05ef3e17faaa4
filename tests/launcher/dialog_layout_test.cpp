// The dialogs' layout data: reading it, its faults, and how the real windows come out of it.
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <tuple>

#include "launcher/dialog_layout.h"
#include "tests/launcher/launcher_test_support.h"
#include "tests/support/broken_layout.h"

namespace launchertest {
namespace {

// Every problem a layout reading found; empty when it read right.
std::string problems(const DialogLayoutResult& layout)
{
    return layout ? std::string() : layout.error();
}

TEST(DialogLayout, ReadsWindowsAndTheirComponentsWithLookTextAndHint)
{
    const DialogLayoutResult read = parseDialogLayout(
        "# comment\n"
        "window First 100 50 \"A caption\"\n"
        "La_A  label  1 2 30 14  12,bold,underline,aqua,centre  hand  \"two words\" \"a hint\"\n"
        "Im_B  picture 0 0 10 10 hidden default \"\"\n"
        "\n"
        "window Second 20 20 \"\"\n"
        "CB_C  list 5 6 40 21 11,black default \"x|y||z\"\n");
    ASSERT_EQ(problems(read), "");
    const DialogLayout& layout = *read;
    ASSERT_EQ(layout.windows.size(), 2u);
    const DialogWindow& first = layout.windows[0];
    EXPECT_EQ(first.caption, "A caption");
    EXPECT_EQ(first.width, 100);
    ASSERT_EQ(first.components.size(), 2u);
    const DialogComponent& label = first.components[0];
    EXPECT_EQ(label.kind, DialogKind::Label);
    EXPECT_EQ(label.rect.top, 2);
    EXPECT_EQ(label.fontPixels, 12);
    EXPECT_TRUE(label.bold && label.underline);
    EXPECT_EQ(label.colour, DialogColour::Aqua);
    EXPECT_EQ(label.align, DialogAlign::Centre);
    EXPECT_EQ(label.cursor, DialogCursor::Hand);
    EXPECT_EQ(label.text, "two words");
    EXPECT_EQ(label.hint, "a hint");
    EXPECT_TRUE(first.components[1].hidden);
    EXPECT_EQ(first.components[1].text, "");
    const DialogComponent* list = layout.find("Second")->find("CB_C");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(listItems(*list), (std::vector<std::string>{"x", "y", "", "z"}));
    // The same name in two windows is two components.
    EXPECT_EQ(problems(parseDialogLayout("window A 1 1 \"\"\nX label 0 0 1 1 - default \"\"\n"
                                         "window B 1 1 \"\"\nX label 0 0 1 1 - default \"\"\n")),
              "");
}

TEST(DialogLayout, NamesTheLineAndWhatIsWrong)
{
    const std::pair<const char*, const char*> cases[] = {
        {"La_A label 0 0 1 1 - default \"x\"\n", "line 1: a component before the first window line"},
        {"window A 0 10 \"x\"\n", "line 1: the size of A is not positive"},
        {"window A 10 10 \"x\"\nLa_A knob 0 0 1 1 - default \"x\"\n", "line 2: unknown kind 'knob'"},
        {"window A 10 10 \"x\"\nLa_A label 0 0 1 1 12,purple default \"x\"\n", "line 2: unknown look 'purple'"},
        {"window A 10 10 \"x\"\nLa_A label 0 0 1x 1 - default \"x\"\n",
         "line 2: left, top, width and height of La_A are whole numbers"},
        {"window A 10 10 \"x\"\nLa_A label 0 0 1 1 - default \"x\n", "line 2: a closing quote is missing"},
        {"window A 10 10 \"x\"\nLa_A label 0 0 1 1 - default \"x\"\nLa_A label 0 0 1 1 - default \"y\"\n",
         "line 3: component 'La_A' appears twice in A"},
        {"# nothing\n", "no windows"},
    };
    for (const auto& [text, error] : cases) {
        EXPECT_EQ(problems(parseDialogLayout(text)), error) << text;
    }
    EXPECT_NE(problems(loadDialogLayoutFile("no-such-folder/dialogs.layout")).find("no-such-folder/dialogs.layout"),
              std::string::npos);
}

// The program's own dialog layout with one fault put in.
using BrokenDialogLayout = brokenlayout::Fault;

class DialogLayoutCheck : public testing::TestWithParam<BrokenDialogLayout> {};

TEST_P(DialogLayoutCheck, NamesEveryProblemAndKeepsNoWindows)
{
    static const std::string text = readTextFile(ZERNO_TEST_ASSET_DIR "/dialogs.layout").value_or("");
    ASSERT_EQ(problems(parseProgramDialogLayout(text)), "");
    const BrokenDialogLayout& c = GetParam();
    EXPECT_EQ(problems(parseProgramDialogLayout(brokenlayout::broken(text, c.find, c.replace))),
              brokenlayout::withLineNumbers(text, c.error));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DialogLayoutCheck,
    testing::Values(
        BrokenDialogLayout{"missing", "Puls_Accept ", "", "no component 'Puls_Accept' in KeysForm"},
        BrokenDialogLayout{"twice", "La_Sound ", "La_Title ",
                           "@La_Sound: component 'La_Title' appears twice in SplashForm\n"
                           "no component 'La_Sound' in SplashForm"},
        BrokenDialogLayout{"another_kind", "CB_Sound        list ", "CB_Sound        label",
                           "@CB_Sound: 'CB_Sound' in SplashForm is a label, not a list"},
        BrokenDialogLayout{"unknown_button", "Im_Foto         picture", "Im_Foto         button ",
                           "@Im_Foto: unknown button 'Im_Foto' in AboutForm"},
        BrokenDialogLayout{"outside", "Puls_Accept     button     99", "Puls_Accept     button    199",
                           "@Puls_Accept: 'Puls_Accept' in KeysForm reaches outside the window (279 x 129)"},
        BrokenDialogLayout{"misspelt_window", "window AboutForm", "window AboutFrom",
                           "@window AboutForm: unknown window 'AboutFrom'\nno window 'AboutForm'"}),
    brokenlayout::nameOf);

class DialogWindows : public ProgramTest {};

// Every caption must be readable whole in the rectangle laid out for it, in the face that stands
// in for Arial; a text of ours that is too long would be cut off on screen.
TEST_F(DialogWindows, EveryCaptionFitsItsRectangleInTheArialFace)
{
    start();
    for (QWidget* window : {static_cast<QWidget*>(&splash()), static_cast<QWidget*>(&keys()),
                            static_cast<QWidget*>(&about())}) {
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->text().isEmpty())
                continue;
            const QFontInfo face(label->font());
            EXPECT_TRUE(face.family() == "Arial" || face.family() == "Liberation Sans")
                << label->objectName().toStdString() << " in " << face.family().toStdString();
            EXPECT_EQ(face.pixelSize(), label->font().pixelSize());
            const QFontMetrics metrics(label->font());
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
                << label->objectName().toStdString() << ": \"" << label->text().toStdString() << "\"";
            EXPECT_LE(metrics.height(), label->height() + 1) << label->objectName().toStdString();
        }
    }
    // The about dialog's values end together at x = 261.
    for (const char* value : {"La_Name2", "La_Place2", "La_Date2", "La_Occupation2", "La_Hobby2"}) {
        auto* label = about().findChild<QLabel*>(QLatin1String(value));
        ASSERT_NE(label, nullptr) << value;
        EXPECT_EQ(label->geometry().right() + 1, 261) << value;
        EXPECT_TRUE(label->alignment() & Qt::AlignRight) << value;
        EXPECT_TRUE(label->font().bold()) << value;
    }
    EXPECT_EQ(about().findChild<QLabel*>("La_Hobby2")->text(), "...guess it !");
}

// The program's windows on a copy of the assets that lacks one picture.
class WindowsWithoutAPicture : public DialogWindows {
protected:
    void makeWindows(const char* missingPicture)
    {
        const fs::path assets = scratch / "assets";
        fs::copy(ZERNO_TEST_ASSET_DIR, assets, fs::copy_options::recursive);
        fs::remove(assets / "pictures" / missingPicture);
        file = std::make_unique<StoreFile>(storePath.string());
        keyStore = file->OpenKey(KeySettingsStorePath);
        gameStore = file->OpenKey(SettingsStorePath);
        ProgramSetup setup;
        setup.assetDir = QString::fromStdString(assets.string());
        setup.keySettingsStore = keyStore.get();
        setup.settingsStore = gameStore.get();
        setup.sound = &silent;
        setup.clock = &clock;
        setup.screenSize = [] { return QSize(1024, 768); };
        setup.quit = [] {};
        program = std::make_unique<ProgramWindows>(setup);
    }
    // The rest is made a moment after the launcher shows, painted or not: that moment, now.
    void fireRestFallback()
    {
        auto* fallback = program->forms.SplashForm->findChild<QTimer*>(QStringLiteral("RestFallback"));
        ASSERT_NE(fallback, nullptr);
        if (fallback->isActive())  // else it came before the first paint
            fallback->start(0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !fallback->isActive(); }));
    }

    std::unique_ptr<StoreFile> file;
    std::unique_ptr<StoreKey> keyStore, gameStore;
    Sound silent;
    std::unique_ptr<ProgramWindows> program;
};

TEST_F(WindowsWithoutAPicture, AMissingLauncherPictureStopsStartUpNamingTheFile)
{
    makeWindows("Box2.jpg");
    const Expected<void> made = program->create();
    ASSERT_FALSE(made);
    EXPECT_NE(made.error().find("Box2.jpg"), std::string::npos) << made.error();
}

// The launcher comes on the screen first; the device window's pictures and the other two dialogs
// are made once it has painted, and a picture missing among them is reported then, by name.
TEST_F(WindowsWithoutAPicture, TheLauncherShowsFirstAndTheRestIsMadeOnceItHasPainted)
{
    makeWindows("Box3.jpg");  // no such picture: nothing is missing
    const Expected<void> launcher = program->createLauncher();
    ASSERT_TRUE(launcher) << launcher.error();
    EXPECT_EQ(program->forms.AboutForm, nullptr);
    EXPECT_EQ(program->forms.KeysForm, nullptr);
    int made = 0;
    QString failure;
    program->showAndCreateRest([&] { ++made; }, [&](const QString& why) { failure = why; });
    EXPECT_TRUE(program->forms.SplashForm->isVisible());
    EXPECT_EQ(made, 0) << "made before the launcher painted";
    ASSERT_TRUE(QTest::qWaitFor([&] { return made > 0; }, 2000)) << failure.toStdString();
    EXPECT_TRUE(failure.isEmpty());
    ASSERT_NE(program->forms.AboutForm, nullptr);
    ASSERT_NE(program->forms.KeysForm, nullptr);
    EXPECT_FALSE(program->forms.device.view->isVisible()) << "mapped before PLAY, where a window manager may place it";
    EXPECT_TRUE(program->forms.SplashForm->isActiveWindow() || !program->forms.device.view->isActiveWindow())
        << "the device window took the keyboard from the launcher";
    fireRestFallback();
    EXPECT_EQ(made, 1) << "the rest was made twice";
}

// What the program's error box shows when either layout is not the program's.
class WindowsOnABrokenLayout : public WindowsWithoutAPicture {};

TEST_F(WindowsOnABrokenLayout, StartUpStopsWithTheLayoutsProblemsNamed)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"device.layout", "Im_Front ", "no component 'Im_Front'"},
        {"dialogs.layout", "Puls_Accept ", "no component 'Puls_Accept' in KeysForm"},
    };
    for (const auto& [file, line, problem] : cases) {
        fs::remove_all(scratch / "assets");
        makeWindows("Box3.jpg");  // no such picture: none is missing
        const std::string layout = (scratch / "assets" / file).string();
        const std::string text = readTextFile(layout).value_or("");
        std::ofstream(layout) << brokenlayout::broken(text, line, "");
        const Expected<void> made = program->createLauncher();
        ASSERT_FALSE(made) << file;
        EXPECT_EQ(made.error(), layout + ": " + problem);
    }
}

TEST_F(WindowsWithoutAPicture, ADevicePictureMissingIsReportedByNameAfterTheLauncherShows)
{
    makeWindows("Im_Num5.png");
    const Expected<void> launcher = program->createLauncher();
    ASSERT_TRUE(launcher) << launcher.error();
    int made = 0, failures = 0;
    QString failure;
    program->showAndCreateRest([&] { ++made; }, [&](const QString& why) {
        ++failures;
        failure = why;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return failures > 0; }, 2000));
    EXPECT_TRUE(failure.contains(QLatin1String("Im_Num5.png"))) << failure.toStdString();
    fireRestFallback();
    EXPECT_EQ(made, 0);
    EXPECT_EQ(failures, 1) << "reported twice";
}

}  // namespace
}  // namespace launchertest
