#include "launcher/keys_form.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QPushButton>
#include <QWindow>
#include <string>

#include "device/form1.h"
#include "device/view/device_view.h"
#include "settings/stored_values.h"

namespace {

const QColor Free(255, 255, 255);
const QColor Clashing(255, 0, 0);

}  // namespace

TKeysForm::TKeysForm(Forms& forms, StoreKey& keySettingsStore)
    : DialogForm(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      forms_(forms),
      keySettingsStore_(keySettingsStore)
{
}

Expected<void> TKeysForm::build(const DialogWindow& layout, const QString& pictureDir)
{
    if (Expected<void> built = DialogForm::build(layout, pictureDir); !built)
        return built;
    std::string missing;
    for (int n = 1; n <= KeyRoleCount; ++n) {
        CB[size_t(n)] = component<QComboBox>(("CB_" + std::to_string(n)).c_str(), missing);
        La[size_t(n)] = component<QLabel>(("La_" + std::to_string(n)).c_str(), missing);
        if (La[size_t(n)])
            La[size_t(n)]->setText(QString::fromUtf8(workerMove(n).name));
    }
    Puls_Accept = component<QPushButton>("Puls_Accept", missing);
    if (!missing.empty())
        return failure(missing);
    return {};
}

void TKeysForm::FormCreate()
{
    TForm1& Form1 = *forms_.device.form;
    // A stored index outside 1..26 selects nothing. No clash check yet: captions stay white even
    // when the stored letters clash, until a list is changed.
    for (int n = 1; n <= KeyRoleCount; ++n) {
        const int letter = Form1.KeyLetters[size_t(n)];
        CB[size_t(n)]->setCurrentIndex(letter >= 1 && letter <= 26 ? letter - 1 : -1);
        connect(CB[size_t(n)], &QComboBox::currentIndexChanged, this, [this] { CB_Change(); });
    }
    connect(Puls_Accept, &QPushButton::clicked, this, [this] { Puls_AcceptClick(); });
}

bool TKeysForm::ControllaTasti()
{
    // Texts are compared, not positions: two lists showing nothing are a clash too. A caption is
    // red while its list shows what another shows.
    bool clash = false;
    for (int n = 1; n <= KeyRoleCount; ++n) {
        bool clashes = false;
        for (int other = 1; other <= KeyRoleCount; ++other)
            clashes |= other != n && CB[size_t(other)]->currentText() == CB[size_t(n)]->currentText();
        setColour(*La[size_t(n)], QPalette::WindowText, clashes ? Clashing : Free);
        clash |= clashes;
    }
    return clash;
}

void TKeysForm::CB_Change()
{
    Puls_Accept->setEnabled(!ControllaTasti());
}

void TKeysForm::Puls_AcceptClick()
{
    TForm1& Form1 = *forms_.device.form;
    forms_.device.view->deliver([&] {
        // A list showing nothing stores 0; AssegnaWord then keeps that key's previous code.
        for (int n = 1; n <= KeyRoleCount; ++n) {
            Form1.KeyLetters[size_t(n)] = CB[size_t(n)]->currentIndex() + 1;
            stored::Keys[size_t(n)]->write(keySettingsStore_, Form1.KeyLetters[size_t(n)]);
            Form1.AssegnaWord(n, Form1.KeyLetters[size_t(n)]);
        }
        Form1.SetPadHints();
        Form1.setEnabled(true);
    });
    hide();
    // The keys act on the very next press: give the device window the keyboard back.
    forms_.device.view->raise();
    forms_.device.view->activateWindow();
}

void TKeysForm::showCentred()
{
    move(centredOnScreen(forms_, size()));
    // The dialog of the device window: a window manager keeps it above the device, not above a
    // hidden window of the toolkit's.
    winId();
    if (QWindow* device = forms_.device.view->windowHandle())
        windowHandle()->setTransientParent(device);
    show();
    raise();
    activateWindow();
}

void TKeysForm::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
