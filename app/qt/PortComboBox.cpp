// SPDX-License-Identifier: MIT
#include "app/qt/PortComboBox.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTextDocument>

#include "app/PortList.h"
#include "words/Words.h"

namespace {
// The description of a USB adapter comes from the device's own descriptor; a tool tip would take
// one that looks like markup for markup, so such a one is shown as written.
QString ToolTipOf(const std::string& description) {
    const QString text = QString::fromStdString(description);
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
}

constexpr int kDescriptionRole = Qt::UserRole + 1;

// Fixed item height; the open list shows each entry with its description.
class TPortItemDelegate final : public QStyledItemDelegate {
public:
    TPortItemDelegate(QObject* parent, int height) : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(height_);
        return size;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = TPortComboBox::EntryText(index.data(Qt::DisplayRole).toString(),
                                                index.data(kDescriptionRole).toString());
    }

private:
    const int height_;
};
}  // namespace

TPortComboBox::TPortComboBox(QWidget* parent, TVaPortListRoots roots, int itemHeight)
    : QComboBox(parent), roots_(std::move(roots)) {
    setEditable(false);
    setItemDelegate(new TPortItemDelegate(this, itemHeight));
    Refresh();
    setCurrentIndex(0);
    connect(this, &QComboBox::currentIndexChanged, this,
            [this] { setToolTip(ShownText() == currentText() ? QString() : currentText()); });
}

void TPortComboBox::Refresh() {
    const TPortListShown shown = RefreshedPortList(ListPorts(roots_), currentText().toStdString());
    clear();
    for (const TVaPortInfo& entry : shown.Entries) {
        addItem(QString::fromStdString(entry.Path));
        const std::string description = PortDescriptionText(entry);
        if (!description.empty()) {
            setItemData(count() - 1, ToolTipOf(description), Qt::ToolTipRole);
            setItemData(count() - 1, QString::fromStdString(description), kDescriptionRole);
        }
    }
    setCurrentIndex(static_cast<int>(shown.Chosen));
}

void TPortComboBox::showPopup() {
    Refresh();
    // As wide as its longest entry, description included, even where that is wider than the box.
    QStyleOptionViewItem option;
    option.initFrom(view());
    int widest = 0;
    for (int row = 0; row < count(); ++row)
        widest = std::max(widest, itemDelegate()->sizeHint(option, model()->index(row, 0)).width());
    view()->setMinimumWidth(widest + 2 * view()->frameWidth() +
                            view()->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    QComboBox::showPopup();
}

QString TPortComboBox::ShownText() const {
    const QString path = currentText();
    return path.startsWith(u'/') ? path.mid(path.lastIndexOf(u'/') + 1) : path;
}

QString TPortComboBox::EntryText(const QString& path, const QString& description) {
    return QString::fromStdString(PortEntryText({path.toStdString(), description.toStdString()}));
}

void TPortComboBox::paintEvent(QPaintEvent*) {
    // The box is narrow: a long path would be cut where it differs from the others.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = ShownText();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
