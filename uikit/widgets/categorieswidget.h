// The navigation pane of a console window: a white column of category buttons.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QWidget>

class QVBoxLayout;

/**
 * @class CCategoriesWidget categorieswidget.h "widgets/categorieswidget.h"
 * A white column of flat CTsButton categories, one below the other (margin 3, spacing 2), each with
 * an icon, a caption and a tool tip read by resource identifier from the language module. The caller
 * connects to each button's clicked() itself and names a button (setObjectName) to reach it with
 * setItemEnabled().
 *
 * The pane also carries the help page of the screen it sits on and announces it with DisplayHelp()
 * every time it is shown (not only the first time), so the window can point its help view at it.
 *
 * @code
 * auto *pane = new CCategoriesWidget(window);
 * QWidget *volumes = pane->AddItem(IDS_VOLUMES, IDS_VOLUMES_TIP, icon, greyIcon);
 * volumes->setObjectName("volumes");
 * pane->SetHelpPage(L"volumes.htm", L"Volumes");
 * @endcode
 */
class TSUIKIT_EXPORT CCategoriesWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CCategoriesWidget(QWidget *parent = nullptr);
    ~CCategoriesWidget() override;

    /**
     * Appends a flat category button: caption @p textId and tool tip @p toolTipId from the language
     * module (a missing text gives an empty one), black text, the two icons, enabled, white Window
     * colour, focus by tab and click.
     * @return the new button (a CTsButton, child of the pane); it lives until Reset() or the pane's end
     */
    QWidget *AddItem(unsigned int textId, unsigned int toolTipId, QIcon enabledIcon, QIcon disabledIcon);

    /** Sets the icon size of every button added so far; later buttons keep Qt's default. */
    void SetItemIconSize(const QSize &size);

    /** CTsButton::SetIcons() on @p item, a button returned by AddItem(); null does nothing. */
    void SetItemIcon(QWidget *item, const QIcon &enabledIcon, const QIcon &disabledIcon);
    /** Sets the caption of @p item to the text @p textId; null does nothing. */
    void SetItemText(QWidget *item, unsigned int textId);
    /** Sets the tool tip of @p item to the text @p toolTipId; null does nothing. */
    void SetItemToolTip(QWidget *item, unsigned int toolTipId);

    /**
     * Enables or disables the first push button of the pane (recursive search, direct children
     * first) whose object name is @p name (a null name matches the first one): a CTsButton through
     * CTsButton::setItemEnabled(), so its icon follows, any other button through setEnabled().
     * Nothing happens when no button has that name.
     */
    void setItemEnabled(QString name, bool enabled);

    /** Removes and deletes every button; pointers returned by AddItem() become invalid. */
    void Reset();

    /** Stores the help page and its title; they are announced at the next show. */
    void SetHelpPage(const WString &page, const WString &title);

signals:
    /** On every show of the pane while the help page is not empty. */
    void DisplayHelp(const QString &help_page, const QString &help_title);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QVBoxLayout *m_layout;
    QList<QPointer<QWidget>> m_items; // guarded: a caller may delete a button itself
    WString m_helpPage;
    WString m_helpTitle;
};
