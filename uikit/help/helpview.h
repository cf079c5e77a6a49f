// A dockable panel showing one page of help text beside a main window.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QDockWidget>

class QTextEdit;

/**
 * @class CHelpView helpview.h "help/helpview.h"
 * A dock that shows one page of help, given as HTML text held in memory, in a read-only text view
 * (object name "helpText"). The dock can be closed but neither moved nor floated, and is at least
 * 150 pixels wide. Closing it emits showView(false), so the owner can update its "Help" action.
 *
 * A page set while the dock is hidden is shown when the dock is next shown; a page equal, ignoring
 * letter case, to the one on screen is not loaded again (the reader keeps the scroll position).
 *
 * @code
 * auto *help = new CHelpView(window);
 * window->addDockWidget(Qt::RightDockWidgetArea, help);
 * help->SetTitle(u"Help");
 * help->SetHelpPage(pageHtml);
 * connect(help, &CHelpView::showView, helpAction, &QAction::setChecked);
 * @endcode
 */
class TSUIKIT_EXPORT CHelpView : public QDockWidget
{
    Q_OBJECT

public:
    explicit CHelpView(QWidget *parent = nullptr);
    ~CHelpView() override;

    /** Sets the title shown in the dock's title bar. */
    void SetTitle(const WString &title);

    /**
     * Shows @p html (HTML text, not a file name or address) in the text view. On a hidden dock the
     * page is only kept, and shown on the next show. A page equal to the one on screen, ignoring
     * letter case, is not loaded again.
     */
    void SetHelpPage(const WString &html);

signals:
    /** Emitted with false when the user closes the dock. */
    void showView(bool show);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QTextEdit *m_textView;
    WString m_currentPage; // the text in m_textView
    WString m_pendingPage; // the text last asked for
};
