// The standard controls on Qt widgets: push button, check box, group box, list box and memo.
#include "PlatformControls.h"

#include "QtHandles.h"
#include "QtText.h"

#include <QAbstractListModel>
#include <QCheckBox>
#include <QGroupBox>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>

#include <algorithm>

namespace {

// ---- List box

// The rows of a list view, read from the owner's items and decoded on demand.
class TListBoxModel : public QAbstractListModel {
public:
    TListBoxModel(QListView* AView, int Rows, int ItemHeight, Platform::TListItemText AItemText)
        : QAbstractListModel(AView), FView(AView), FItemText(std::move(AItemText)), FRows(Rows),
          FItemHeight(ItemHeight) {}

    int rowCount(const QModelIndex& Parent) const override { return Parent.isValid() ? 0 : FRows; }

    QVariant data(const QModelIndex& Index, int Role) const override {
        if (!Index.isValid())
            return {};
        const std::optional<std::string_view> Item = FItemText(Index.row());
        if (!Item)
            return {};
        // A long item is cut to what the row can show: laying out all of it on every paint
        // would stall the window. The item itself stays whole.
        if (Role == Qt::DisplayRole)
            return QtText::Decode(QtText::Head(*Item, QtText::BytesForWidth(FView->width())));
        // Rows are never lower than a line of the font, as in the platform's standard style.
        if (Role == Qt::SizeHintRole)
            return QSize(0, std::max(FItemHeight, FView->fontMetrics().height()));
        return {};
    }

    // One reset shows any number of changes.
    void Reload(int Rows, int ItemHeight) {
        beginResetModel();
        FRows = Rows;
        FItemHeight = ItemHeight;
        endResetModel();
    }
    int Rows() const { return FRows; }
    int ItemHeight() const { return FItemHeight; }
    // Set while the owner selects a row, so that the selection reaches the owner only from
    // the user.
    bool Selecting = false;

private:
    QListView* FView;
    Platform::TListItemText FItemText;
    int FRows;
    int FItemHeight;
};

TListBoxModel* ModelOf(TPlatformWidget* ListBox) {
    return static_cast<TListBoxModel*>(QtWidget<QListView>(ListBox)->model());
}

// ---- Memo

// A plain text editor that tells the owner of the user's changes only.
class TMemoEdit : public QPlainTextEdit {
public:
    bool Showing = false;
};

} // namespace

namespace Platform {

// ---- Buttons

TPlatformWidget* CreateButton(const AnsiString& Caption, std::function<void()> OnClick) {
    auto* Button = new QPushButton(QtText::Decode(Caption));
    Button->setAutoDefault(false);
    QObject::connect(Button, &QPushButton::clicked, Button,
                     [OnClick = std::move(OnClick)] { OnClick(); });
    return PlatformWidget(Button);
}

void SetButtonDefault(TPlatformWidget* Button, bool Default) {
    QtWidget<QPushButton>(Button)->setDefault(Default);
}

TPlatformWidget* CreateCheckBox(const AnsiString& Caption, bool AllowGrayed, TCheckState State,
                                std::function<void(TCheckState)> OnUserChange) {
    auto* Box = new QCheckBox(QtText::Decode(Caption));
    Box->setTristate(AllowGrayed);
    SetCheckBoxState(PlatformWidget(Box), State);
    QObject::connect(Box, &QCheckBox::stateChanged, Box,
                     [OnUserChange = std::move(OnUserChange)](int QtState) {
                         OnUserChange(QtState == Qt::Checked            ? TCheckState::Checked
                                      : QtState == Qt::PartiallyChecked ? TCheckState::Grayed
                                                                        : TCheckState::Unchecked);
                     });
    return PlatformWidget(Box);
}

void SetCheckBoxAllowGrayed(TPlatformWidget* CheckBox, bool AllowGrayed) {
    QtWidget<QCheckBox>(CheckBox)->setTristate(AllowGrayed);
}

void SetCheckBoxState(TPlatformWidget* CheckBox, TCheckState State) {
    static constexpr Qt::CheckState QtStates[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
    auto* Box = QtWidget<QCheckBox>(CheckBox);
    const QSignalBlocker Blocker(Box);
    Box->setCheckState(QtStates[static_cast<int>(State)]);
}

TPlatformWidget* CreateGroupBox(const AnsiString& Caption) {
    return PlatformWidget(new QGroupBox(QtText::Decode(Caption)));
}

TPlatformWidget* CreateRadioButton(TPlatformWidget* Parent, const AnsiString& Caption,
                                   std::function<void()> OnChecked) {
    auto* Button = new QRadioButton(QtText::Decode(Caption), QtWidget(Parent));
    QObject::connect(Button, &QRadioButton::toggled, Button,
                     [OnChecked = std::move(OnChecked)](bool On) {
                         if (On)
                             OnChecked();
                     });
    Button->show();
    return PlatformWidget(Button);
}

// Radio buttons cannot be unchecked while they exclude each other, so that is lifted for a
// moment.
void SetRadioChecked(TPlatformWidget* Button, bool Checked) {
    auto* Radio = QtWidget<QRadioButton>(Button);
    Radio->setAutoExclusive(false);
    Radio->setChecked(Checked);
    Radio->setAutoExclusive(true);
}

// ---- List box

TPlatformWidget* CreateListBox(int Count, int ItemHeight, TListItemText ItemText,
                               std::function<void(int Index)> OnUserSelect) {
    auto* View = new QListView;
    View->setUniformItemSizes(true);
    View->setSelectionMode(QAbstractItemView::SingleSelection);
    View->setEditTriggers(QAbstractItemView::NoEditTriggers);
    View->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* Model = new TListBoxModel(View, Count, ItemHeight, std::move(ItemText));
    View->setModel(Model);
    QObject::connect(View->selectionModel(), &QItemSelectionModel::currentRowChanged, View,
                     [Model, OnUserSelect = std::move(OnUserSelect)](const QModelIndex& Current) {
                         if (!Model->Selecting)
                             OnUserSelect(Current.row());
                     });
    return PlatformWidget(View);
}

void SetListBoxCount(TPlatformWidget* ListBox, int Count) {
    TListBoxModel* Model = ModelOf(ListBox);
    Model->Reload(Count, Model->ItemHeight());
}

void SetListBoxItemHeight(TPlatformWidget* ListBox, int ItemHeight) {
    TListBoxModel* Model = ModelOf(ListBox);
    Model->Reload(Model->Rows(), ItemHeight);
}

void SetListBoxItemIndex(TPlatformWidget* ListBox, int Index) {
    auto* View = QtWidget<QListView>(ListBox);
    TListBoxModel* Model = ModelOf(ListBox);
    Model->Selecting = true;
    if (Index < 0) {
        View->selectionModel()->clear();
    } else {
        const QModelIndex Row = Model->index(Index);
        View->selectionModel()->setCurrentIndex(Row, QItemSelectionModel::ClearAndSelect);
        View->scrollTo(Row);
    }
    Model->Selecting = false;
}

// ---- Memo

TPlatformWidget* CreateMemo(std::function<void()> OnUserEdit) {
    auto* Edit = new TMemoEdit;
    QObject::connect(Edit, &QPlainTextEdit::textChanged, Edit,
                     [Edit, OnUserEdit = std::move(OnUserEdit)] {
                         if (!Edit->Showing)
                             OnUserEdit();
                     });
    return PlatformWidget(Edit);
}

void SetMemoOptions(TPlatformWidget* Memo, bool ReadOnly, bool WordWrap, bool HorzScrollBar,
                    bool VertScrollBar) {
    auto* Edit = QtWidget<QPlainTextEdit>(Memo);
    Edit->setReadOnly(ReadOnly);
    Edit->setLineWrapMode(WordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    Edit->setHorizontalScrollBarPolicy(HorzScrollBar ? Qt::ScrollBarAsNeeded
                                                     : Qt::ScrollBarAlwaysOff);
    Edit->setVerticalScrollBarPolicy(VertScrollBar ? Qt::ScrollBarAsNeeded
                                                   : Qt::ScrollBarAlwaysOff);
}

void SetMemoLines(TPlatformWidget* Memo, const TStringList& Lines) {
    QStringList Shown;
    Shown.reserve(Lines.Count());
    for (int I = 0; I < Lines.Count(); ++I)
        Shown.append(QtText::Decode(Lines.View(I)));
    auto* Edit = QtWidget<TMemoEdit>(Memo);
    Edit->Showing = true;
    Edit->setPlainText(Shown.join(QChar('\n')));
    Edit->Showing = false;
}

void GetMemoLines(TPlatformWidget* Memo, const TStringList& Shown, TStringList& Lines) {
    Lines.Clear();
    const QTextDocument* Document = QtWidget<QPlainTextEdit>(Memo)->document();
    int Index = 0;
    for (QTextBlock Block = Document->begin(); Block.isValid() && !Document->isEmpty();
         Block = Block.next(), ++Index) {
        const QString Text = Block.text();
        const bool Unchanged = Index < Shown.Count() && QtText::Decode(Shown.View(Index)) == Text;
        Lines.Append(Unchanged ? AnsiString(Shown.View(Index)) : QtText::Encode(Text));
    }
}

} // namespace Platform
