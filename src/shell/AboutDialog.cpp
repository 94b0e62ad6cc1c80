// SPDX-License-Identifier: MIT
#include "AboutDialog.h"

#include "HomePath.h"
#include "TextStyles.h"
#include "Version.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr int kSpacing = 8;
constexpr int kMargin = 20;
constexpr int kTextWidth = 360;

// A plain, wrapping label with the name tests and accessibility find it by.
QLabel *plainLabel(const QString &text, const char *objectName, QWidget *parent)
{
    QLabel *label = TextStyles::plainLabel(text, parent);
    label->setObjectName(QLatin1String(objectName));
    label->setWordWrap(true);
    return label;
}
} // namespace

AboutDialog::AboutDialog(const QString &storePath, const QString &readme, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("about"));
    setWindowTitle(tr("About Lumora"));
    auto *column = new QVBoxLayout(this);
    column->setSpacing(kSpacing);
    column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);

    auto *name = plainLabel(QStringLiteral("Lumora"), "aboutName", this);
    name->setFont(TextStyles::title(font()));
    column->addWidget(name);
    m_version = plainLabel(tr("Version %1").arg(version()), "aboutVersion", this);
    m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(m_version);
    column->addWidget(plainLabel(tr("A focus timer for the Linux desktop."), "aboutSummary", this));
    column->addWidget(plainLabel(tr("Licence: MIT (Expat)"), "aboutLicence", this));

    column->addWidget(
        plainLabel(tr("Your focus screens, sessions and settings are kept in:"), "aboutStoreTitle", this));
    m_store = plainLabel(displayPath(storePath), "aboutStore", this);
    m_store->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_store->setFont(TextStyles::monospacedCaption(font()));
    column->addWidget(m_store);

    m_readme = new QLabel(this);
    m_readme->setObjectName(QStringLiteral("aboutReadme"));
    if (!readme.isEmpty()) {
        m_readme->setTextFormat(Qt::RichText);
        m_readme->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                              .arg(QUrl::fromLocalFile(readme).toString(QUrl::FullyEncoded).toHtmlEscaped(),
                                   tr("How to use Lumora (README)").toHtmlEscaped()));
        m_readme->setOpenExternalLinks(true);
        m_readme->setToolTip(displayPath(readme));
    }
    m_readme->setVisible(!readme.isEmpty());
    column->addWidget(m_readme);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    for (QLabel *label : findChildren<QLabel *>())
        label->setMinimumWidth(kTextWidth);
}

QString AboutDialog::version()
{
    return QString::fromLatin1(Version::kText);
}

QString AboutDialog::displayPath(const QString &path)
{
    return HomePath::abbreviate(path);
}

QString AboutDialog::readmePath()
{
    const QStringList candidates{QCoreApplication::applicationDirPath() +
                                     QStringLiteral("/../share/doc/lumora/README.md"),
                                 QStringLiteral(LUMORA_SOURCE_DIR "/README.md")};
    for (const QString &candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    return {};
}
