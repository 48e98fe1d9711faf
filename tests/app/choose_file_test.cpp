// SPDX-License-Identifier: MIT
// Choosing the update file with the "..." button, the dialog answered by the test.
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTranslator>

#include "AppTesting.h"
#include "app/qt/QtTranslations.h"
#include "widgets/Gauge.h"

namespace app_test {
namespace {

class ChooseFileTest : public FormTest {
protected:
    void SetUp() override { MakeForm(); }
    std::string Copy(const char* example, const char* as) {
        const QString path = temp.path() + "/" + as;
        EXPECT_TRUE(QFile::copy(Q(ExamplePath(example)), path));
        return path.toStdString();
    }
    void WriteFile(const char* name, const QByteArray& bytes) {
        QFile file(temp.path() + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(ChooseFileTest, ConvertsTheChosenFileWhateverTheExtensionsCase) {
    ChooseFile(Copy("worked.hex", "WORKED.Hex"));
    EXPECT_EQ(form->Edit1->text(), temp.path() + "/WORKED.Hex");
    const TForm1Lists& lists = form->Lists();
    ASSERT_EQ(lists.Memo2.size(), 5u);
    EXPECT_EQ(lists.Memo2[0], "cmd 01:0000");
    EXPECT_EQ(lists.Memo2[2], "cmd 02:0080 08 A0A1A2A3A4A5A6A7");
    EXPECT_EQ(lists.ScriptLineCount, 5);
    EXPECT_TRUE(lists.Memo1.empty());
    EXPECT_EQ(form->ProgressBar1->MaxValue(), 4);
    EXPECT_EQ(form->ProgressBar1->Progress(), 0);
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(ChooseFileTest, CancelAndOtherExtensionsLeaveTheScript) {
    ChooseFile(ExamplePath("worked.hex"));
    const std::vector<std::string> script = form->Lists().Memo2;

    form->OpenDialog1.SetExecutor([](TOpenDialog&) { return false; });
    QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(form->Edit1->text(), Q(ExamplePath("worked.hex")));

    // Not an update file: only the field shows the new name.
    ChooseFile(Copy("worked.hex", "worked.hex.txt"));
    EXPECT_EQ(form->Edit1->text(), temp.path() + "/worked.hex.txt");
    EXPECT_EQ(form->Lists().Memo2, script);
    EXPECT_EQ(form->ProgressBar1->MaxValue(), 4);
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(ChooseFileTest, FileErrorsGoToTheErrorBoxWithAFullStop) {
    // The dialog accepts a name that does not exist.
    ChooseFile((temp.path() + "/missing.hex").toStdString());
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_TRUE(boxes->shown[0].error);
    EXPECT_EQ(boxes->shown[0].text, QString::fromUtf8("Ошибка: файл не найден."));
    EXPECT_TRUE(form->Lists().Memo2.empty());

    WriteFile("empty.hex", "");
    ChooseFile((temp.path() + "/empty.hex").toStdString());
    ASSERT_EQ(boxes->shown.size(), 2u);
    EXPECT_EQ(boxes->shown[1].text, QString::fromUtf8("Ошибка: файл обновления пуст."));
    EXPECT_EQ(form->Edit1->text(), temp.path() + "/empty.hex");
}

TEST_F(ChooseFileTest, EveryRecordOfALineIsReadOrTheLineIsRefused) {
    QFile worked(Q(ExamplePath("worked.hex")));
    ASSERT_TRUE(worked.open(QIODevice::ReadOnly));
    QByteArray lines = worked.readAll();
    ChooseFile(Copy("worked.hex", "lf.hex"));
    const std::vector<std::string> script = form->Lists().Memo2;

    // CR alone ends every line of a file of the classic Mac convention.
    WriteFile("cr.hex", QByteArray(lines).replace('\n', '\r'));
    ChooseFile((temp.path() + "/cr.hex").toStdString());
    EXPECT_EQ(form->Lists().Memo2, script);

    // Two records pasted onto one line: never the first one alone.
    WriteFile("pasted.hex", QByteArray(lines).replace(lines.indexOf('\n'), 1, ""));
    ChooseFile((temp.path() + "/pasted.hex").toStdString());
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(boxes->shown[0].text,
              "Ошибка в строке 1 файла обновления: после контрольной суммы записи в строке "
              "начинается ещё одна запись; каждая запись должна стоять в своей строке.");
    EXPECT_TRUE(form->Lists().Memo2.empty());
}

TEST_F(ChooseFileTest, TheDialogAsTheUserSeesIt) {
    form->OpenDialog1.FileName = temp.path() + "/last.hex";
    const std::unique_ptr<QFileDialog> dialog = form->OpenDialog1.MakeDialog(form.get());
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Файл для загрузки"));
    ASSERT_EQ(dialog->nameFilters().size(), 1);
    EXPECT_TRUE(
        dialog->nameFilters()[0].startsWith(QString::fromUtf8("Файлы обновления ТЕВР-R7S")));
    // A name typed for a file that does not exist is accepted.
    EXPECT_EQ(dialog->fileMode(), QFileDialog::AnyFile);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    // It opens where the last file was chosen.
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(temp.path()).absolutePath());
}

TEST_F(ChooseFileTest, FilterAdmitsUpdateFilesInAnyCase) {
    const std::unique_ptr<QFileDialog> dialog = form->OpenDialog1.MakeDialog(form.get());
    const QString filter = dialog->nameFilters()[0];
    const QString patterns = filter.mid(filter.indexOf('(') + 1).chopped(1);
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(patterns));
    for (const char* name : {"a.hex", "B.HEX", "c.Hex"})
        EXPECT_TRUE(match.match(name).hasMatch()) << name;
    for (const char* name : {"a.txt", "hex", "a.hexx"})
        EXPECT_FALSE(match.match(name).hasMatch()) << name;
}

bool HasCyrillic(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x0400 && c.unicode() <= 0x04FF; });
}

TEST_F(ChooseFileTest, QtsOwnDialogsSpeakRussianWhereTheTranslationIsInstalled) {
    QTranslator* translator = InstallQtTranslations(*QCoreApplication::instance());
    if (!translator) GTEST_SKIP() << "Qt's Russian translation is not installed";
    const std::unique_ptr<QFileDialog> dialog = form->OpenDialog1.MakeDialog(form.get());
    QStringList texts;
    for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
        auto* label = dialog->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        texts << label->text();
    }
    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
    ASSERT_NE(buttons, nullptr);
    for (QAbstractButton* button : buttons->buttons())
        texts << button->text();
    QCoreApplication::removeTranslator(translator);
    delete translator;
    EXPECT_EQ(texts.size(), 5);
    for (const QString& text : texts)
        EXPECT_TRUE(HasCyrillic(text)) << text.toStdString();
}

}  // namespace
}  // namespace app_test
