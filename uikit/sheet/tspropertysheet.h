// The product's multi-page dialog: a tabbed property sheet or a Back/Next/Finish wizard.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPointer>

#include "foundation/tsuikitglobal.h"

class QHBoxLayout;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QVBoxLayout;
class CTsPropertyPage;

/**
 * @class CTsPropertySheet tspropertysheet.h "sheet/tspropertysheet.h"
 *
 * A dialog of CTsPropertyPage objects, in one of two modes chosen before it is laid out:
 *
 * - property-sheet mode (default): each page is a tab; OK asks every page OnQueryOK() and then
 *   OnOK() before accepting, Cancel rejects;
 * - wizard mode: each page is a step, optionally under a header band (bold title, subtitle,
 *   the header pixmap at the right, a sunken line); Back and Next ask the current page before
 *   moving, Finish asks it before accepting, Cancel rejects.
 *
 * Typical use:
 * @code
 * CTsPropertySheet sheet(parent);
 * sheet.SetWizardMode(true);
 * sheet.SetHeaderPixmap(picture);
 * sheet.AddPage(intro);
 * sheet.AddPage(datePage);
 * sheet.CreateSheet();
 * if (sheet.exec() == QDialog::Accepted) ...
 * @endcode
 *
 * Button labels come from the language module. Cancel, the window's Close and Escape reject
 * without asking any page. Operations that do not apply to the current mode do nothing.
 * The widgets of the mode not chosen are never shown and are destroyed with the sheet.
 */
class TSUIKIT_EXPORT CTsPropertySheet : public QDialog
{
    Q_OBJECT

public:
    explicit CTsPropertySheet(QWidget *parent = nullptr);
    ~CTsPropertySheet() override;

    /** Chooses the mode; call before CreateSheet() and before adding pages. */
    void SetWizardMode(bool wizard);
    bool IsWizardMode() const;

    /** The picture at the right of wizard headers built from now on. */
    void SetHeaderPixmap(QPixmap pixmap);

    /** Lays the dialog out for its mode: the page container, a sunken line, the button row. */
    void CreateSheet();

    /**
     * Adds @p page as the last tab or step, sets its sheet to this one and, in a wizard, builds
     * its header from the page's texts as they are now.
     */
    void AddPage(CTsPropertyPage *page);
    /**
     * Property-sheet mode only: inserts @p page as a tab at @p index (out of range appends).
     * The page's sheet is not set.
     */
    void AddPage(int index, CTsPropertyPage *page);
    /**
     * Property-sheet mode only: removes the page's tab. The page stays with the sheet, hidden,
     * and is still asked when OK is pressed.
     */
    void RemovePage(CTsPropertyPage *page);
    /** Property-sheet mode only: enables or disables the page's tab. */
    void SetPageEnable(CTsPropertyPage *page, bool enable);
    /** Whether the page's tab is enabled; false in wizard mode or without a tab. */
    bool IsPageEnable(CTsPropertyPage *page);
    /** The number of wizard steps; 0 in property-sheet mode. */
    int GetPageCount();
    /**
     * Brings the page's tab or step to the front. In a wizard it then picks the default button,
     * but leaves Back and Finish as they were.
     */
    void SetActivePage(CTsPropertyPage *page);

    /**
     * Makes the first enabled, visible one of Next, Finish and Back the default button; with
     * none, the default stays. Visible means shown with the dialog, whether the dialog is on
     * screen yet or not.
     */
    void SetWizardButtonDefault();

    void SetNextButtonText(const WString &text);
    void SetBackButtonText(const WString &text);
    void SetFinishButtonText(const WString &text);
    /** The visibility and enabled setters of Back, Next and Finish pick the default again. */
    void SetBackButtonVisible(bool visible);
    void SetNextButtonVisible(bool visible);
    void SetFinishButtonVisible(bool visible);
    void SetCancelButtonVisible(bool visible);
    void SetEnabledNextButton(bool enable);
    void SetEnabledFinishButton(bool enable);
    void SetEnabledOkButton(bool enable);
    /** The buttons stay owned by the sheet. */
    QPushButton *GetNextButton();
    QPushButton *GetBackButton();
    QPushButton *GetFinishButton();

public Q_SLOTS:
    /** One step back, if the current page's OnWizardBack() agrees. */
    virtual void OnBackButton();
    /** One step forward, if the current page's OnWizardNext() agrees. */
    virtual void OnNextButton();
    /** Accepts, if the current page's OnWizardFinish() agrees. */
    virtual void OnFinishButton();
    /** Accepts, if every page passes OnQueryOK() and then OnOK(). */
    virtual void OnOkButton();

protected:
    /** A header band for a wizard page, without a parent. */
    QWidget *CreateHeader(const WString &title, const WString &subtitle);
    /** Back enabled after the first step, Finish shown on the last; wizard mode only. */
    void UpdateWiwardButtonsState(int index);

private Q_SLOTS:
    void OnCurrentWidgetChanged(int index);

private:
    friend class CTsPropertySheetAccessible;

    // Wizard mode: the title of the step shown, empty for none.
    QString CurrentStepTitle() const;
    // Wizard mode: tells screen readers the new step and gives its first control the focus.
    void AnnounceStep(int index);
    // Makes `button` the dialog's only default among the sheet's buttons.
    void MakeDefaultButton(QPushButton *button);

    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
    QPushButton *m_backButton;
    QPushButton *m_nextButton;
    QPushButton *m_finishButton;
    QHBoxLayout *m_buttonLayout;
    QVBoxLayout *m_mainLayout;
    QStackedWidget *m_wizardStack;
    QTabWidget *m_tabWidget;
    bool m_wizardMode;
    QPixmap m_headerPixmap;
    // Hidden child that holds the buttons and page containers until CreateSheet places those of
    // the chosen mode; the others stay in it and die with the sheet.
    QWidget *m_parking;
    // Pages added so far, to ask them in the order of adding.
    int m_pagesAdded;
};
