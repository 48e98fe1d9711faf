// SPDX-License-Identifier: MIT
// The port list: COM1 to COM8, then the ports found that are not among them.
#include <QAbstractItemView>
#include <QTextDocument>

#include "AppTesting.h"
#include "app/PortList.h"
#include "sim/BootLoaderSim.h"

namespace app_test {
namespace {

std::vector<std::string> Paths(const std::vector<TVaPortInfo>& entries) {
    std::vector<std::string> paths;
    for (const TVaPortInfo& e : entries)
        paths.push_back(e.Path);
    return paths;
}

const std::vector<std::string> kFixed{"COM1", "COM2", "COM3", "COM4",
                                      "COM5", "COM6", "COM7", "COM8"};

TEST(PortListEntries, ExactlyTheEightWithoutOtherPorts) {
    EXPECT_EQ(Paths(PortListEntries({})), kFixed);
    // Built-in ports behind COM1 to COM8 are not listed twice.
    EXPECT_EQ(Paths(PortListEntries(
                  {{"/dev/ttyS0", "Serial port COM1"}, {"/dev/ttyS7", "Serial port COM8"}})),
              kFixed);
}

TEST(PortListEntries, OtherPortsFollowInTheOrderFound) {
    const std::vector<TVaPortInfo> found{
        {"/dev/ttyUSB0", "FTDI FT232R USB UART"},  {"/dev/ttyACM0", "USB modem"},
        {"/dev/ttyS1", "Serial port COM2"},        {"/dev/ttyS8", "Serial port COM9"},
        {"/tmp/tevr-sim/bk", "ТЕВР-R7 simulator"}, {"/dev/ttyUSB0", "again"}};
    const std::vector<TVaPortInfo> entries = PortListEntries(found);
    std::vector<std::string> expected = kFixed;
    for (const char* path : {"/dev/ttyUSB0", "/dev/ttyACM0", "/dev/ttyS8", "/tmp/tevr-sim/bk"})
        expected.push_back(path);
    EXPECT_EQ(Paths(entries), expected);
    EXPECT_EQ(entries[8].Description, "FTDI FT232R USB UART");
}

class PortComboTest : public FormTest {};

TEST_F(PortComboTest, ListOnlyWithCom1Chosen) {
    MakeForm();
    QStringList items;
    for (int i = 0; i < form->ComboBox1->count(); ++i)
        items << form->ComboBox1->itemText(i);
    EXPECT_EQ(items, (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}));
    EXPECT_FALSE(form->ComboBox1->isEditable());
    EXPECT_EQ(form->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(form->ComboBox1Text(), "COM1");
    // Fixed item height.
    QStyleOptionViewItem option;
    EXPECT_EQ(form->ComboBox1->itemDelegate()
                  ->sizeHint(option, form->ComboBox1->model()->index(0, 0))
                  .height(),
              16);
}

TEST_F(PortComboTest, SimulatorsAppearAfterTheEightAndWhenTheListOpens) {
    const QString links = Sub("links");
    SimOptions first;
    first.linkPath = (links + "/first").toStdString();
    BootLoaderSim sim1(first);
    MakeForm(links);
    ASSERT_EQ(form->ComboBox1->count(), 9);
    EXPECT_EQ(form->ComboBox1->itemText(8), links + "/first");
    EXPECT_EQ(form->ComboBox1->itemData(8, Qt::ToolTipRole).toString(),
              QString::fromUtf8("Имитатор ТЕВР-R7"));

    // Chosen, then gone: it stays chosen, so that starting says what is wrong; a simulator
    // started after the window shows up the next time the list opens.
    form->ComboBox1->setCurrentIndex(8);
    SimOptions second;
    second.linkPath = (links + "/second").toStdString();
    auto sim2 = std::make_unique<BootLoaderSim>(second);
    form->ComboBox1->Refresh();
    EXPECT_EQ(form->ComboBox1->count(), 10);
    EXPECT_EQ(form->ComboBox1->currentText(), links + "/first");
    QFile::remove(links + "/first");
    form->ComboBox1->Refresh();
    EXPECT_EQ(form->ComboBox1->currentText(), links + "/first");
    EXPECT_EQ(form->ComboBox1->findText(links + "/second"), 8);
    EXPECT_EQ(form->ComboBox1->currentIndex(), 9);
}

// The text a tool tip shows for `tip`: Qt takes what looks like markup as markup.
QString ShownTip(const QString& tip) {
    QTextDocument document;
    if (Qt::mightBeRichText(tip))
        document.setHtml(tip);
    else
        document.setPlainText(tip);
    return document.toPlainText();
}

TEST_F(PortComboTest, AdapterNamesAreShownAsWrittenNotAsMarkup) {
    // A USB adapter whose descriptor names it with something that looks like markup.
    const QString dev = Sub("dev"), sys = Sub("sys"), usb = Sub("usb");
    ASSERT_TRUE(QFile::link("/dev/null", dev + "/ttyUSB0"));
    const QString product = "<b>Fast</b> <img src=\"x.png\"> adapter";
    QFile file(usb + "/product");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(product.toUtf8() + "\n");
    file.close();
    QDir(sys).mkpath("ttyUSB0");
    ASSERT_TRUE(QFile::link(usb, sys + "/ttyUSB0/device"));
    MakeForm();
    const int index = form->ComboBox1->findText(dev + "/ttyUSB0");
    ASSERT_EQ(index, 8);
    EXPECT_EQ(ShownTip(form->ComboBox1->itemData(index, Qt::ToolTipRole).toString()).toStdString(),
              product.toStdString());
}

TEST_F(PortComboTest, OpenListShowsDescriptionsAndTheBoxTheChosenPortsName) {
    const QString dev = Sub("dev"), sys = Sub("sys"), drivers = Sub("drivers/uart-pl011");
    ASSERT_TRUE(QFile::link("/dev/null", dev + "/ttyAMA0"));
    QDir(sys).mkpath("ttyAMA0/device");
    ASSERT_TRUE(QFile::link(drivers, sys + "/ttyAMA0/device/driver"));
    MakeForm();
    const int index = form->ComboBox1->findText(dev + "/ttyAMA0");
    ASSERT_EQ(index, 8);
    form->ComboBox1->setCurrentIndex(index);
    EXPECT_EQ(form->ComboBox1Text(), (dev + "/ttyAMA0").toStdString());
    // The box shows the name, its tool tip the whole path.
    EXPECT_EQ(form->ComboBox1->ShownText(), "ttyAMA0");
    EXPECT_EQ(form->ComboBox1->toolTip(), dev + "/ttyAMA0");
    form->ComboBox1->setCurrentIndex(0);
    EXPECT_EQ(form->ComboBox1->ShownText(), "COM1");

    form->ComboBox1->showPopup();
    QAbstractItemView* list = form->ComboBox1->view();
    ASSERT_TRUE(WaitFor([&] { return list->isVisible(); }, 5000));
    QStyleOptionViewItem option;
    option.initFrom(list);
    const QSize entry = list->itemDelegate()->sizeHint(option, list->model()->index(8, 0));
    EXPECT_EQ(entry.height(), 16);
    const QString shown = TPortComboBox::EntryText(dev + "/ttyAMA0", "Serial port (uart-pl011)");
    EXPECT_GE(entry.width(), QFontMetrics(list->font()).horizontalAdvance(shown));
    // Wider than the 129-pixel box, so that the description is not cut off.
    EXPECT_GE(list->width(), entry.width());
    EXPECT_GT(list->width(), 129);
    form->ComboBox1->hidePopup();
}

}  // namespace
}  // namespace app_test
