#include "shell/aboutwindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/pictures.h"
#include "app/dialogs.h"

namespace shell {

using namespace app;

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    auto* icon = new QLabel;
    icon->setPixmap(ProgramIcon(QStringLiteral("kalvaro")).pixmap(96, 96));
    icon->setAlignment(Qt::AlignTop);

    Title = new QLabel(kProgramTitle);
    Title->setObjectName(QStringLiteral("Title"));
    QFont f = Title->font();
    f.setPointSizeF(f.pointSizeF() * 2.2);
    f.setBold(true);
    Title->setFont(f);
    Version = new QLabel(QStringLiteral("Версия ") + QStringLiteral(KALVARO_VERSION));
    Version->setObjectName(QStringLiteral("Version"));
    auto* purpose = new QLabel(QStringLiteral("Рабочее место наладчика: режимные испытания\n"
                                              "паровых и водогрейных котлов."));
    auto* ok = new QPushButton(QStringLiteral("Закрыть"));
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    // Escape rejects: the window closes as by its button
    connect(this, &QDialog::rejected, this, &QDialog::close);

    auto* text = new QVBoxLayout;
    text->addWidget(Title);
    text->addWidget(Version);
    text->addSpacing(8);
    text->addWidget(purpose);
    text->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

}  // namespace shell
