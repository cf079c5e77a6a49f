// The task panel of a console: sections with gradient headers on a background picture.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QFrame>
#include <QList>
#include <QPixmap>
#include <QPointer>

class QPushButton;
class QVBoxLayout;
class CPanelHeaderStyle;

/**
 * @class CCollapsiblePanel collapsiblepanel.h "widgets/collapsiblepanel.h"
 * A column of sections on the language module's background picture (stretched to the panel's size;
 * it shows where the container fills the panel's background, as a CScrollTaskWidgetArea does). Each
 * section is a header button (a CTsButton drawn by a CPanelHeaderStyle: bold caption on a yellow
 * gradient, expand or collapse mark at its right end) above the caller's content widget.
 *
 * A header toggles its section on the mouse press, Return, Enter or Space and reports the change with
 * ItemChangeState(); SetItemExpand() changes a section silently. By default any number of sections
 * may be open; with SetExpandItemMoreThanOne(false) a header click closes every other section (those
 * closes emit nothing). A new section counts as collapsed, but its content keeps its own visibility
 * until the first SetItemExpand(). Giving the panel the focus moves it to the first header.
 *
 * Headers and content widgets become the panel's children. The panel owns the header styles it
 * creates and deletes them when it is destroyed. Sections are never removed. Screen readers see each
 * header as an expandable button, expanded or collapsed, and hear every change of that state.
 */
class TSUIKIT_EXPORT CCollapsiblePanel : public QFrame
{
    Q_OBJECT

public:
    explicit CCollapsiblePanel(QWidget *parent = nullptr);
    ~CCollapsiblePanel() override;

    /** Appends a collapsed section with the header caption @p title; a null @p content adds nothing. */
    void AddItem(QString title, QWidget *content);

    /**
     * Sets the state of the first section holding @p content: any non-zero @p expanded opens it
     * (shows the content, expanded mark), 0 closes it. No signal; nothing for an unknown widget.
     */
    void SetItemExpand(QWidget *content, int expanded);

    /** True when the section holding @p content is open; false when closed or unknown. */
    bool IsItemExpand(QWidget *content);

    int GetNumItems();

    /** The content widget of section @p index, or null when @p index is out of range. */
    QWidget *GetItemWidget(int index);

    /** true (the default): any number of open sections; false: a header click closes the others. */
    void SetExpandItemMoreThanOne(bool moreThanOne);

public slots:
    /** Click handler of the headers: toggles the sender's section and emits ItemChangeState(). */
    void OnPanelClick();
    /** SetItemExpand() by index; nothing for an index out of range. */
    void SetItemExpand(int index, bool bExpanded);

signals:
    /** A header click changed section @p index to @p expanded. */
    void ItemChangeState(int index, bool expanded);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct PanelItem {
        QPushButton *header;
        int expanded;
        QPointer<QWidget> content; // the caller may delete it; the section then stays as it is
    };

    // The state of the section whose header is `header`: -1 when it heads none, else 0 or 1.
    int HeaderState(const QWidget *header) const;
    friend class CTaskButtonAccessible;

    QPixmap m_expandedIcon;
    QPixmap m_collapsedIcon;
    QList<PanelItem> m_items;
    QPixmap m_background;
    QVBoxLayout *m_itemsLayout;
    QVBoxLayout *m_mainLayout;
    bool m_expandMoreThanOne;
    QList<CPanelHeaderStyle *> m_headerStyles;
};
