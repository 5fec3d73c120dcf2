#include "keywords/view/vistrel_view.h"

#include "keywords/view/keyword_text.h"
#include "keywords/view/label_delegate.h"
#include "keywords/vistrel_doc.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QMessageBox>

#include <utility>

namespace {

// Column 0 keeps the keyword's own bytes beside the text it shows, so bytes that are not
// valid code page 932 reach the search and the file unchanged.
constexpr int kBytesRole = Qt::UserRole;
// Column 1 keeps why the latest job of the row failed.
constexpr int kReasonRole = Qt::UserRole + 1;

} // namespace

CVistrelView::CVistrelView(QWidget* parent)
    : QTreeWidget(parent)
{
    setColumnCount(2);
    setHeaderLabels({keywords::kKeywordColumnTitle, keywords::kStatusColumnTitle});
    setColumnWidth(0, 200);
    setColumnWidth(1, 100);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(SelectedClicked);

    // The selection stays as plain to see while the toolbar or a dialog has the focus.
    QPalette colours = palette();
    colours.setBrush(QPalette::Inactive, QPalette::Highlight,
                     colours.brush(QPalette::Active, QPalette::Highlight));
    colours.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     colours.brush(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);

    keywords::LabelDelegate::Hooks hooks;
    hooks.opened = [this](QWidget* editor) { m_pEditor = editor; };
    hooks.destroyed = [this](QWidget* editor) {
        if (m_pEditor == editor)
            m_pEditor = nullptr;
    };
    hooks.confirmed = [this](const QModelIndex& index, const QString& text) {
        OnEndLabelEdit(index, text);
    };
    setItemDelegate(new keywords::LabelDelegate(std::move(hooks), this));

    m_showStop = [this](const QString& text) {
        QMessageBox::critical(window(), QStringLiteral("Vistrel"), text);
    };
}

CVistrelView::~CVistrelView() = default;

void CVistrelView::SetDocument(CVistrelDoc* pDoc)
{
    m_pDocument = pDoc;
    OnInitialUpdate();
}

void CVistrelView::SetStopMessage(StopMessage show)
{
    m_showStop = std::move(show);
}

void CVistrelView::ShowStop(const QString& text) const
{
    if (m_showStop)
        m_showStop(text);
}

QString CVistrelView::InvalidArgumentText()
{
    return QString::fromUtf8(CVistrelDoc::kInvalidArgumentText.data(),
                             static_cast<qsizetype>(CVistrelDoc::kInvalidArgumentText.size()));
}

void CVistrelView::OnInitialUpdate()
{
    m_refusal.reset();
    if (m_pEditor)
        closeEditor(m_pEditor, QAbstractItemDelegate::RevertModelCache);
    clear();
    if (m_pDocument) {
        QList<QTreeWidgetItem*> rows;
        rows.reserve(static_cast<qsizetype>(m_pDocument->m_arrKeywords.size()));
        for (const std::string& keyword : m_pDocument->m_arrKeywords)
            rows.append(MakeRow(keyword));
        addTopLevelItems(rows);
    }
    clearSelection();
    m_bHasSelection = false;
}

keywords::TextEncoding CVistrelView::Encoding() const
{
    return m_pDocument ? m_pDocument->GetEncoding().text : keywords::TextEncoding::Cp932;
}

QTreeWidgetItem* CVistrelView::MakeRow(const std::string& bytes) const
{
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable |
                   Qt::ItemNeverHasChildren);
    SetRowKeyword(item, bytes);
    return item;
}

void CVistrelView::SetRowKeyword(QTreeWidgetItem* item, const std::string& bytes) const
{
    item->setText(0, keywords::ShownText(bytes, Encoding()));
    item->setData(0, kBytesRole, QByteArray::fromStdString(bytes));
    ShowKeywordTip(item);
}

// The tip names why the row's job failed, else the whole keyword (a wide one may be cut off).
void CVistrelView::ShowKeywordTip(QTreeWidgetItem* item)
{
    const QString reason = item->data(1, kReasonRole).toString();
    const QString tip = reason.isEmpty() ? item->text(0) : reason;
    item->setToolTip(0, tip);
    item->setToolTip(1, tip);
}

std::ptrdiff_t CVistrelView::GetRowCount() const
{
    return topLevelItemCount();
}

std::string CVistrelView::GetRowText(std::ptrdiff_t row) const
{
    if (row < 0 || row >= topLevelItemCount())
        return {};
    return topLevelItem(static_cast<int>(row))->data(0, kBytesRole).toByteArray().toStdString();
}

bool CVistrelView::IsRowText(std::ptrdiff_t row, std::string_view text) const
{
    if (row < 0 || row >= topLevelItemCount())
        return text.empty();
    return topLevelItem(static_cast<int>(row))->data(0, kBytesRole).toByteArray() ==
           QByteArrayView(text.data(), static_cast<qsizetype>(text.size()));
}

platform::Result<std::string> CVistrelView::GetRowSearchText(std::ptrdiff_t row) const
{
    return keywords::KeywordSearchText(GetRowText(row), Encoding());
}

std::string CVistrelView::ToUtf8(std::string_view rowText) const
{
    return keywords::KeywordToUtf8(rowText, Encoding());
}

void CVistrelView::SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason)
{
    if (row < 0 || row >= topLevelItemCount())
        return;
    QTreeWidgetItem* item = topLevelItem(static_cast<int>(row));
    item->setText(1, QString::fromUtf8(mark.data(), static_cast<qsizetype>(mark.size())));
    item->setData(1, kReasonRole,
                  QString::fromUtf8(reason.data(), static_cast<qsizetype>(reason.size())));
    ShowKeywordTip(item);
}

void CVistrelView::selectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected)
{
    QTreeWidget::selectionChanged(selected, deselected);
    m_bHasSelection = selectionModel()->hasSelection();
}

void CVistrelView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeWidget::currentChanged(current, previous);
    m_bHasSelection = selectionModel()->hasSelection();
}

void CVistrelView::focusOutEvent(QFocusEvent* event)
{
    QTreeWidget::focusOutEvent(event);
    // An open menu leaves the keyboard focus where it was on the platform this list follows,
    // so a menu must not disable delete on its way to offering it.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::MenuBarFocusReason)
        m_bHasSelection = false;
}
