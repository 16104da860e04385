// The toolkit's own edit menu of an edit widget, as the user opens it with the right button.
#pragma once

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QStringList>
#include <QWidget>

// The menu's item texts without separators and shortcuts; empty when no menu opened.
// Receiver takes the event (a scroll area's viewport), Edit places it.
inline QStringList EditMenuItems(QWidget* Edit, QWidget* Receiver, QPoint At) {
    QContextMenuEvent Event(QContextMenuEvent::Mouse, At, Edit->mapToGlobal(At));
    QApplication::sendEvent(Receiver, &Event);
    auto* Menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QStringList Items;
    if (!Menu)
        return Items;
    for (const QAction* Item : Menu->actions())
        if (!Item->isSeparator())
            Items.append(Item->text().section(QChar('\t'), 0, 0));
    Menu->close();
    return Items;
}

inline const QStringList JapaneseEditMenu{"元に戻す(&U)", "やり直す(&R)", "切り取り(&T)",
                                          "コピー(&C)",   "貼り付け(&P)", "削除",
                                          "すべてを選択"};
