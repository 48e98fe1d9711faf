#include "app/PortComboBox.h"

#include <QStyledItemDelegate>
#include <QTextDocument>

#include "app/PortList.h"

namespace {
// The description of a USB adapter comes from the device's own descriptor; a tool tip would take
// one that looks like markup for markup, so such a one is shown as written.
QString ToolTipOf(const std::string& description) {
    const QString text = QString::fromStdString(description);
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
}

class TFixedHeightDelegate final : public QStyledItemDelegate {
public:
    TFixedHeightDelegate(QObject* parent, int height)
        : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(height_);
        return size;
    }

private:
    const int height_;
};
}  // namespace

TPortComboBox::TPortComboBox(QWidget* parent, TVaPortListRoots roots, int itemHeight)
    : QComboBox(parent), roots_(std::move(roots)) {
    setEditable(false);
    setItemDelegate(new TFixedHeightDelegate(this, itemHeight));
    Refresh();
    setCurrentIndex(0);
}

void TPortComboBox::Refresh() {
    const QString chosen = currentText();
    clear();
    for (const TVaPortInfo& entry : PortListEntries(ListPorts(roots_))) {
        addItem(QString::fromStdString(entry.Path));
        if (!entry.Description.empty())
            setItemData(count() - 1, ToolTipOf(entry.Description), Qt::ToolTipRole);
    }
    if (chosen.isEmpty()) return;
    if (findText(chosen, Qt::MatchExactly) < 0) addItem(chosen);
    setCurrentIndex(findText(chosen, Qt::MatchExactly));
}

void TPortComboBox::showPopup() {
    Refresh();
    QComboBox::showPopup();
}
