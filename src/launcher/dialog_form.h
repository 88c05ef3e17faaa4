// The three small windows of the program (launcher, key settings, about) are built from their
// layout data: caption, client size, black background and every component by name.
#pragma once

#include <QLabel>
#include <QWidget>

#include "common/expected.h"
#include "launcher/dialog_layout.h"

// A label or picture that acts on a click: the left button pressed on it and released over it.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

class DialogForm : public QWidget {
    Q_OBJECT
public:
    explicit DialogForm(Qt::WindowFlags flags);

    // Makes the window and its components from layout: labels and pictures are ClickLabels, lists
    // QComboBoxes, buttons QPushButtons, the bevel a raised QFrame; each widget's objectName is
    // its component's name. Pictures load from pictureDir. A failure names the file or the component.
    Expected<void> build(const DialogWindow& layout, const QString& pictureDir);

    // "Arial" at a height in pixels, by its metric-compatible free face where Arial is missing.
    static QFont arial(int pixels, bool bold = false, bool underline = false);
    // Gives the widget's palette that colour in that role.
    static void setColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour);

protected:
    // Asks the window manager for the caption buttons the window's flags name, before each map.
    void showEvent(QShowEvent* event) override;

    // The component of that name and type; null when the layout lacks it, and then the first
    // component missing is named in `missing`.
    template <class Widget>
    Widget* component(const char* name, std::string& missing)
    {
        auto* widget = findChild<Widget*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
        if (!widget && missing.empty())
            missing = QStringLiteral("The layout of %1 has no %2 of the right kind.").arg(objectName(), QLatin1String(name)).toStdString();
        return widget;
    }

private:
    // The caption buttons the window asks for; where the program draws the title bar itself the
    // window's own flags name none.
    Qt::WindowFlags askedFlags_;
};
