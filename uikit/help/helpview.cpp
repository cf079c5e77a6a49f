#include "help/helpview.h"

#include <QTextEdit>

CHelpView::CHelpView(QWidget *parent)
    : QDockWidget(parent, Qt::WindowFlags()), m_textView(nullptr)
{
    setFeatures(QDockWidget::DockWidgetClosable);
    m_textView = new QTextEdit(this);
    m_textView->setObjectName(QStringLiteral("helpText"));
    m_textView->setReadOnly(true);
    setWidget(m_textView);
    setMinimumWidth(150);
}

CHelpView::~CHelpView()
{
    // The document goes before the dock takes its child down with it.
    m_textView->clear();
}

void CHelpView::SetTitle(const WString &title)
{
    setWindowTitle(QStringFromWString(title));
}

void CHelpView::SetHelpPage(const WString &html)
{
    m_pendingPage = html;
    if (!isVisible())
        return;
    if (!m_currentPage.empty()
        && QStringFromWString(m_currentPage).compare(QStringFromWString(html), Qt::CaseInsensitive) == 0)
        return;
    m_textView->setHtml(QStringFromWString(html));
    m_currentPage = html;
}

void CHelpView::closeEvent(QCloseEvent *event)
{
    emit showView(false);
    QDockWidget::closeEvent(event);
}

void CHelpView::showEvent(QShowEvent *event)
{
    QDockWidget::showEvent(event);
    if (!m_pendingPage.empty())
        SetHelpPage(m_pendingPage);
}
