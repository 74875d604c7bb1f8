#include "shell/TMessageBoxReporter.h"

#include "shell/TApplication.h"

#include <QApplication>
#include <QMessageBox>

namespace varnolux {

namespace {

QString Title()
{
    return TApplication::Title;
}

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

void TMessageBoxReporter::ShowMessage(const std::string& text)
{
    QMessageBox::information(QApplication::activeWindow(), Title(), Text(text));
}

bool TMessageBoxReporter::AskAbort(const std::string& text)
{
    return QMessageBox::warning(QApplication::activeWindow(), Title(), Text(text),
                                QMessageBox::Abort | QMessageBox::Ignore,
                                QMessageBox::Ignore) == QMessageBox::Abort;
}

bool TMessageBoxReporter::AskYesNo(const std::string& text)
{
    return QMessageBox::question(QApplication::activeWindow(), Title(), Text(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

TQuestions::TAnswer TMessageBoxReporter::AskYesNoCancel(const std::string& text)
{
    switch (QMessageBox::question(QApplication::activeWindow(), Title(), Text(text),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}

} // namespace varnolux
