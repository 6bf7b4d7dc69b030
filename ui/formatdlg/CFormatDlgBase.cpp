#include "formatdlg/CFormatDlgBase.h"

#include "formatdlg/HeaderText.h"
#include "formatdlg/SizeSpinBox.h"
#include "layout/TileFormat.h"
#include "widgets/KeshMessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace kesh::ui {

CFormatDlgBase::CFormatDlgBase(const Setup& setup, const Values& values, QWidget* parent)
    : QDialog(parent), m_setup(setup), m_width(values.width), m_height(values.height),
      m_lockSize(values.lockSize), m_items(values.items), m_header(values.header) {
    setWindowTitle(setup.title);
    BuildControls();
    ShowValues(values);
}

void CFormatDlgBase::BuildControls() {
    auto* top = new QVBoxLayout(this);

    auto* sizes = new QGridLayout;
    m_widthBox = new SizeSpinBox(this);
    m_widthBox->setObjectName(QStringLiteral("widthEdit"));
    m_heightBox = new SizeSpinBox(this);
    m_heightBox->setObjectName(QStringLiteral("heightEdit"));
    for (SizeSpinBox* box : {m_widthBox, m_heightBox}) {
        box->setStepRange(m_setup.stepLow, m_setup.stepHigh);
    }
    sizes->addWidget(new QLabel(m_setup.widthLabel, this), 0, 0);
    sizes->addWidget(m_widthBox, 0, 1);
    sizes->addWidget(new QLabel(m_setup.heightLabel, this), 1, 0);
    sizes->addWidget(m_heightBox, 1, 1);
    sizes->setColumnStretch(2, 1);
    top->addLayout(sizes);

    m_optionsLayout = new QVBoxLayout;
    top->addLayout(m_optionsLayout);

    top->addWidget(new QLabel(QStringLiteral("File Format"), this));
    auto* listRow = new QHBoxLayout;
    m_itemList = new QListWidget(this);
    m_itemList->setObjectName(QStringLiteral("itemList"));
    m_itemList->setSelectionMode(QAbstractItemView::SingleSelection);
    listRow->addWidget(m_itemList, 1);
    m_layoutTable = new QTableWidget(0, 3, this);
    m_layoutTable->setObjectName(QStringLiteral("layoutTable"));
    m_layoutTable->setHorizontalHeaderLabels({QString::fromUtf8(kLayoutColumnOffset),
                                              QString::fromUtf8(kLayoutColumnLength),
                                              QString::fromUtf8(kLayoutColumnItem)});
    m_layoutTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_layoutTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_layoutTable->setFocusPolicy(Qt::NoFocus);
    m_layoutTable->verticalHeader()->setVisible(false);
    m_layoutTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_layoutTable->horizontalHeader()->setStretchLastSection(true);
    m_layoutTable->setMinimumWidth(280);
    m_itemList->setMinimumWidth(160);
    listRow->addWidget(m_layoutTable, 1);
    auto* okCancel = new QVBoxLayout;
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    okCancel->addWidget(okButton);
    okCancel->addWidget(cancelButton);
    okCancel->addStretch(1);
    listRow->addLayout(okCancel);
    top->addLayout(listRow);
    m_layoutTotal = new QLabel(this);
    m_layoutTotal->setObjectName(QStringLiteral("layoutTotal"));
    top->addWidget(m_layoutTotal);
    m_layoutWarnings = new QLabel(this);
    m_layoutWarnings->setObjectName(QStringLiteral("layoutWarnings"));
    m_layoutWarnings->setWordWrap(true);
    m_layoutWarnings->setStyleSheet(QStringLiteral("color: #b00000;"));
    top->addWidget(m_layoutWarnings);

    auto* addRow = new QHBoxLayout;
    m_itemCombo = new QComboBox(this);
    m_itemCombo->setObjectName(QStringLiteral("itemCombo"));
    // Each line holds its item code: past the first itemCount they differ from the line numbers.
    for (int code = 0; code < m_setup.itemCount; ++code) {
        m_itemCombo->addItem(QString::fromUtf8(m_setup.itemText(code)), code);
    }
    for (const int code : m_setup.later) {
        m_itemCombo->addItem(QString::fromUtf8(m_setup.itemText(code)), code);
    }
    m_delButton = new QPushButton(QStringLiteral(" DEL"), this);
    m_delButton->setObjectName(QStringLiteral("delButton"));
    m_delButton->setAutoDefault(false);
    m_addButton = new QPushButton(QStringLiteral("Add"), this);
    m_addButton->setObjectName(QStringLiteral("addButton"));
    m_addButton->setAutoDefault(false);
    addRow->addWidget(m_itemCombo, 1);
    addRow->addWidget(m_delButton);
    addRow->addWidget(m_addButton);
    top->addLayout(addRow);

    m_headerCheck = new QCheckBox(QString::fromUtf8(kHeaderCheckText), this);
    m_headerCheck->setObjectName(QStringLiteral("headerCheck"));
    top->addWidget(m_headerCheck);
    auto* lengthRow = new QHBoxLayout;
    m_headerLength = new QLineEdit(this);
    m_headerLength->setObjectName(QStringLiteral("headerLength"));
    m_headerLength->setReadOnly(true);
    m_headerLength->setMaximumWidth(60);
    lengthRow->addWidget(new QLabel(QStringLiteral("문자수"), this));
    lengthRow->addWidget(m_headerLength);
    lengthRow->addWidget(new QLabel(QStringLiteral("Byte"), this));
    lengthRow->addStretch(1);
    top->addLayout(lengthRow);
    m_headerText = new QPlainTextEdit(this);
    m_headerText->setObjectName(QStringLiteral("headerText"));
    m_headerText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_headerText->setTabChangesFocus(true);
    m_headerText->setMaximumHeight(80);
    top->addWidget(m_headerText);

    connect(okButton, &QPushButton::clicked, this, &CFormatDlgBase::accept);
    connect(cancelButton, &QPushButton::clicked, this, &CFormatDlgBase::reject);
    connect(m_addButton, &QPushButton::clicked, this, &CFormatDlgBase::OnAdd);
    connect(m_delButton, &QPushButton::clicked, this, &CFormatDlgBase::OnDel);
    connect(m_itemList, &QListWidget::itemDoubleClicked, this, &CFormatDlgBase::OnDel);
    connect(m_headerCheck, &QCheckBox::toggled, this, &CFormatDlgBase::OnCheckHeader);
    // Every edit of a size field, also to text that is no number yet.
    for (SizeSpinBox* box : {m_widthBox, m_heightBox}) {
        connect(box->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, [this] {
            if (m_built) {
                UpdateLayout();
            }
        });
    }
}

int32_t CFormatDlgBase::shownWidth() const {
    bool ok = false;
    const int number = m_widthBox->cleanText().trimmed().toInt(&ok);
    return ok ? number : m_width;
}

int32_t CFormatDlgBase::shownHeight() const {
    bool ok = false;
    const int number = m_heightBox->cleanText().trimmed().toInt(&ok);
    return ok ? number : m_height;
}

std::string CFormatDlgBase::shownHeader() const {
    return hasHeader() ? m_header : std::string();
}

void CFormatDlgBase::UpdateLayout() {
    m_built = true;
    const LayoutTable table = ComputeLayout();
    m_layoutTable->setRowCount(0);
    AddLayoutRows(table.items, QString());
    m_layoutTable->resizeColumnToContents(0);
    m_layoutTable->resizeColumnToContents(1);
    m_layoutTotal->setText(QString::fromUtf8(kLayoutTotal).arg(table.size));
    QStringList warnings;
    for (const std::string& warning : table.warnings) {
        warnings << QString::fromStdString(warning);
    }
    m_layoutWarnings->setText(warnings.join(QLatin1Char('\n')));
}

void CFormatDlgBase::AddLayoutRows(const std::vector<LayoutEntry>& entries, const QString& indent) {
    for (const LayoutEntry& entry : entries) {
        const int row = m_layoutTable->rowCount();
        m_layoutTable->insertRow(row);
        const QString cells[] = {QString::number(entry.offset), QString::number(entry.length),
                                 indent + QString::fromStdString(entry.text)};
        for (int column = 0; column < 3; ++column) {
            auto* cell = new QTableWidgetItem(cells[column]);
            if (column < 2) {
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            m_layoutTable->setItem(row, column, cell);
        }
        AddLayoutRows(entry.items, indent + QStringLiteral("    "));
    }
}

void CFormatDlgBase::ShowValues(const Values& values) {
    m_widthBox->setValue(values.width);
    m_heightBox->setValue(values.height);
    m_widthBox->setEnabled(!values.lockSize);
    m_heightBox->setEnabled(!values.lockSize);

    for (const uint8_t code : m_items) {
        m_itemList->addItem(ItemLine(code));
    }
    m_itemCombo->setCurrentIndex(0);
    UpdateAddButton();

    // A header from a file is at most 255 bytes; anything longer is cut here.
    const QString text = HeaderBytesToText(m_header);
    if (m_header.size() > static_cast<std::size_t>(kMaxHeaderBytes)) {
        m_header = FitHeaderText(text, kMaxHeaderBytes).bytes;
        m_headerText->setPlainText(HeaderBytesToText(m_header));
    } else {
        m_headerText->setPlainText(text);
    }
    m_headerLength->setText(QString::number(m_header.size()));
    m_headerCheck->setChecked(values.hasHeader || !m_header.empty());
    OnCheckHeader();
    connect(m_headerText, &QPlainTextEdit::textChanged, this, &CFormatDlgBase::OnChangeHeader);
}

bool CFormatDlgBase::Listed(int code) const {
    return code < m_setup.itemCount ||
           std::find(m_setup.later.begin(), m_setup.later.end(), code) != m_setup.later.end();
}

QString CFormatDlgBase::ItemLine(uint8_t code) const {
    if (Listed(code)) {
        if (const char* text = m_setup.itemText(code)) {
            return QString::fromUtf8(text);
        }
    }
    return QString::fromUtf8(kUnknownItem).arg(code);
}

void CFormatDlgBase::RefreshItemLines() {
    for (int row = 0; row < m_itemList->count() && row < static_cast<int>(m_items.size()); ++row) {
        m_itemList->item(row)->setText(ItemLine(m_items[size_t(row)]));
    }
}

int CFormatDlgBase::SelectedRow() const {
    const QList<QListWidgetItem*> selected = m_itemList->selectedItems();
    return selected.isEmpty() ? -1 : m_itemList->row(selected.first());
}

void CFormatDlgBase::UpdateAddButton() {
    m_addButton->setEnabled(m_items.size() < static_cast<std::size_t>(kMaxLayoutItems));
}

bool CFormatDlgBase::hasHeader() const {
    return m_headerCheck->isChecked();
}

void CFormatDlgBase::OnAdd() {
    const int code = m_itemCombo->currentIndex() < 0 ? -1 : m_itemCombo->currentData().toInt();
    if (code < 0 || m_items.size() >= static_cast<std::size_t>(kMaxLayoutItems)) {
        return;
    }
    // The new item goes after the selected line, or at the end; its code goes to the same place.
    const int row = SelectedRow();
    const int position = row >= 0 ? row + 1 : static_cast<int>(m_items.size());
    m_itemList->insertItem(position, ItemLine(static_cast<uint8_t>(code)));
    m_items.insert(m_items.begin() + position, static_cast<uint8_t>(code));
    UpdateAddButton();
    if (m_built) {
        ItemsChanged();
        UpdateLayout();
    }
}

void CFormatDlgBase::ReplaceItems(std::vector<uint8_t> items) {
    m_items = std::move(items);
    m_itemList->clear();
    for (const uint8_t code : m_items) {
        m_itemList->addItem(ItemLine(code));
    }
    UpdateAddButton();
    if (m_built) {
        ItemsChanged();
        UpdateLayout();
    }
}

void CFormatDlgBase::OnDel() {
    const int row = SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_items.size())) {
        return;
    }
    delete m_itemList->takeItem(row);
    m_items.erase(m_items.begin() + row);
    m_itemList->clearSelection();
    UpdateAddButton();
    if (m_built) {
        ItemsChanged();
        UpdateLayout();
    }
}

void CFormatDlgBase::OnCheckHeader() {
    const bool on = m_headerCheck->isChecked();
    m_headerText->setEnabled(on);
    m_headerLength->setEnabled(on);
    if (m_built) {
        UpdateLayout();
    }
}

void CFormatDlgBase::OnChangeHeader() {
    const HeaderText fitted = FitHeaderText(m_headerText->toPlainText(), kMaxHeaderBytes);
    m_header = fitted.bytes;
    if (fitted.changed) {
        QTextCursor cursor = m_headerText->textCursor();
        const int position = std::min(cursor.position(), static_cast<int>(fitted.text.size()));
        const QSignalBlocker blocker(m_headerText);
        m_headerText->setPlainText(fitted.text);
        cursor = m_headerText->textCursor();
        cursor.setPosition(position);
        m_headerText->setTextCursor(cursor);
    }
    m_headerLength->setText(QString::number(m_header.size()));
    if (m_built) {
        UpdateLayout();
    }
}

bool CFormatDlgBase::ReadSize(SizeSpinBox* box, int32_t& value) {
    // A locked size is the caller's, not the user's: it is kept as it is even when
    // it lies outside the range, or the dialog could never be closed with OK.
    if (m_lockSize) {
        return true;
    }
    bool ok = false;
    const int number = box->cleanText().trimmed().toInt(&ok);
    QString problem;
    if (!ok) {
        problem = QString::fromUtf8(kEnterInteger);
    } else if (m_setup.sizeRangeChecked &&
               (number < m_setup.stepLow || number > m_setup.stepHigh)) {
        problem =
            QString::fromUtf8(kEnterIntegerBetween).arg(m_setup.stepLow).arg(m_setup.stepHigh);
    }
    if (!problem.isEmpty()) {
        ShowMessage(problem);
        box->setFocus();
        box->selectAll();
        return false;
    }
    value = number;
    return true;
}

void CFormatDlgBase::ShowMessage(const QString& text) {
    if (m_messageHandler) {
        m_messageHandler(this, text);
    } else {
        KeshMessageBox(this, text, QMessageBox::Warning, QMessageBox::Ok);
    }
}

void CFormatDlgBase::accept() {
    int32_t width = m_width;
    int32_t height = m_height;
    if (!ReadSize(m_widthBox, width) || !ReadSize(m_heightBox, height)) {
        return;
    }
    m_width = width;
    m_height = height;
    QDialog::accept();
}

} // namespace kesh::ui
