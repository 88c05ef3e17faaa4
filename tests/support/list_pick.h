// Picking an item of a drop-down list with the mouse, as a user does: the launcher tests and the
// scripted session under LeakSanitizer both need it.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>

// Why the pick failed, or nullptr when the item was picked.
inline const char* pickFromList(QComboBox* list, const QString& text)
{
    const int row = list->findText(text);
    if (row < 0)
        return "the list has no such item";
    QTest::mouseClick(list, Qt::LeftButton);
    QAbstractItemView* items = list->view();
    if (!QTest::qWaitFor([&] { return items->isVisible(); }))
        return "the list did not drop down";
    const QModelIndex item = items->model()->index(row, 0);
    items->scrollTo(item);
    const QPoint target(items->viewport()->width() / 2, items->visualRect(item).center().y());
    // A release right where the list was opened, too soon after, is taken as the end of the
    // opening click and ignored: a user's second click comes later than that.
    if (list->rect().contains(list->mapFromGlobal(items->viewport()->mapToGlobal(target))))
        QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(items->viewport(), Qt::LeftButton, {}, target);
    if (!QTest::qWaitFor([&] { return !items->isVisible(); }))
        return "the list stayed down";
    if (list->currentText() != text)
        return "the click did not pick the item";
    return nullptr;
}
