#include "launcher/dialog_form.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

#include "device/view/device_view.h"
#include "device/view/picture_loader.h"
#include "launcher/caption_bar.h"
#include "launcher/caption_buttons.h"

namespace {

QColor colourOf(DialogColour colour)
{
    switch (colour) {
    case DialogColour::White: return QColor(255, 255, 255);
    case DialogColour::Silver: return QColor(192, 192, 192);
    case DialogColour::Yellow: return QColor(255, 255, 0);
    case DialogColour::Aqua: return QColor(0, 255, 255);
    case DialogColour::Red: return QColor(255, 0, 0);
    case DialogColour::Black:
    case DialogColour::None: break;
    }
    return QColor(0, 0, 0);
}

Qt::Alignment alignmentOf(DialogAlign align)
{
    // Captions sit at the top of their rectangle, as the layout measures them.
    switch (align) {
    case DialogAlign::Centre: return Qt::AlignHCenter | Qt::AlignTop;
    case DialogAlign::Right: return Qt::AlignRight | Qt::AlignTop;
    case DialogAlign::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

// A caption wider than its rectangle widens it, keeping the edge it is aligned to (both edges
// alike for a centred one): the free face that stands in for Arial may run a pixel wider here and
// there, and a caption is never cut off.
void fitCaption(QLabel* label, DialogAlign align)
{
    const int extra = QFontMetrics(label->font()).horizontalAdvance(label->text()) - label->width();
    if (extra <= 0)
        return;
    QRect rect = label->geometry();
    switch (align) {
    case DialogAlign::Left: rect.setWidth(rect.width() + extra); break;
    case DialogAlign::Right: rect.setLeft(rect.left() - extra); break;
    case DialogAlign::Centre:
        rect.setLeft(rect.left() - extra / 2);
        rect.setWidth(rect.width() + extra / 2 + extra % 2);
        break;
    }
    label->setGeometry(rect);
}

}  // namespace

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

DialogForm::DialogForm(Qt::WindowFlags flags)
    : QWidget(nullptr, CaptionBar::wanted() ? CaptionBar::framelessFlags(flags) : flags), askedFlags_(flags)
{
    setColour(*this, QPalette::Window, Qt::black);
    setAutoFillBackground(true);
    setFont(arial(11));
}

void DialogForm::showEvent(QShowEvent* event)
{
    askForCaptionButtons(this);
    QWidget::showEvent(event);
}

QFont DialogForm::arial(int pixels, bool bold, bool underline)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void DialogForm::setColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

Expected<void> DialogForm::build(const DialogWindow& layout, const QString& pictureDir)
{
    setObjectName(QString::fromStdString(layout.name));
    setWindowTitle(QString::fromStdString(layout.caption));
    // Where the program draws the title bar itself, the bar sits above the components, and a
    // window too narrow for its whole title there is widened, its components kept together in
    // the middle.
    const bool ownCaption = CaptionBar::wanted();
    const int width = ownCaption ? std::max(layout.width, CaptionBar::widthFor(windowTitle(), askedFlags_)) : layout.width;
    const int shift = (width - layout.width) / 2;
    const int top = ownCaption ? CaptionBar::Height : 0;
    setFixedSize(width, layout.height + top);
    if (ownCaption)
        new CaptionBar(*this, askedFlags_);
    for (const DialogComponent& def : layout.components) {
        const QString text = QString::fromStdString(def.text);
        QWidget* widget = nullptr;
        switch (def.kind) {
        case DialogKind::Label:
        case DialogKind::Picture: {
            auto* label = new ClickLabel(this);
            if (def.kind == DialogKind::Label) {
                label->setText(text);
                label->setAlignment(alignmentOf(def.align));
                setColour(*label, QPalette::WindowText, colourOf(def.colour));
            } else if (!text.isEmpty()) {
                const Expected<QImage> picture = loadPicture(pictureDir + QLatin1Char('/') + text);
                if (!picture)
                    return failure(picture.error());
                label->setPixmap(QPixmap::fromImage(*picture));
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            }
            widget = label;
            break;
        }
        case DialogKind::List: {
            auto* list = new QComboBox(this);  // not editable: pick only
            for (const std::string& item : listItems(def))
                list->addItem(QString::fromStdString(item));
            list->setCurrentIndex(-1);
            QPalette colours = list->palette();
            for (auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
                colours.setColor(role, Qt::white);
            for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
                colours.setColor(role, colourOf(def.colour));
            list->setPalette(colours);
            widget = list;
            break;
        }
        case DialogKind::Button:
            widget = new QPushButton(text, this);
            break;
        case DialogKind::Bevel: {
            auto* bevel = new QFrame(this);
            bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
            bevel->setLineWidth(1);
            setColour(*bevel, QPalette::Light, Qt::white);
            setColour(*bevel, QPalette::Dark, QColor(128, 128, 128));
            bevel->setAttribute(Qt::WA_TransparentForMouseEvents);
            widget = bevel;
            break;
        }
        }
        widget->setObjectName(QString::fromStdString(def.name));
        widget->setGeometry(def.rect.left + shift, def.rect.top + top, def.rect.width, def.rect.height);
        if (def.fontPixels > 0)
            widget->setFont(arial(def.fontPixels, def.bold, def.underline));
        else if (def.bold || def.underline)
            widget->setFont(arial(font().pixelSize(), def.bold, def.underline));
        widget->setCursor(cursorShape(def.cursor));
        if (!def.hint.empty())
            widget->setToolTip(QString::fromStdString(def.hint));
        if (def.kind == DialogKind::List || def.kind == DialogKind::Button)
            widget->setFocusPolicy(Qt::ClickFocus);  // never reached with the tab key
        if (def.hidden)
            widget->hide();
        if (def.kind == DialogKind::Label)
            fitCaption(static_cast<QLabel*>(widget), def.align);
    }
    return {};
}
