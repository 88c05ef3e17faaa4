// TKeysForm: the key settings dialog. Four pick-only lists choose the letters that move the
// workers; clashing choices turn their captions red and keep ACCEPT off until they are resolved.
// The device window takes no input while the dialog is up, but its game goes on.
#pragma once

#include <array>

#include "launcher/dialog_form.h"
#include "launcher/forms.h"

class QComboBox;
class QPushButton;
class StoreKey;

class TKeysForm : public DialogForm {
    Q_OBJECT
public:
    // keySettingsStore (KeySettingsStorePath) must outlive the dialog.
    TKeysForm(Forms& forms, StoreKey& keySettingsStore);

    // Builds the window, then finds its components; false (and error set) when one is missing.
    Expected<void> build(const DialogWindow& layout, const QString& pictureDir);

    void FormCreate();
    bool ControllaTasti();
    void CB_Change();  // the change handler of all four lists
    void Puls_AcceptClick();

    // Opened by the command menu: centred on the screen, not modal.
    void showCentred();

    // List n and caption n belong to key n (1..4): left up, left down, right up, right down.
    std::array<QComboBox*, 5> CB{};
    std::array<QLabel*, 5> La{};
    QPushButton* Puls_Accept = nullptr;

protected:
    // ACCEPT is the only way out: the window system's close is refused, since the device window
    // would otherwise stay disabled for good.
    void closeEvent(QCloseEvent* event) override;

private:
    Forms& forms_;
    StoreKey& keySettingsStore_;
};
