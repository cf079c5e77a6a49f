// Base class of the pages of a property sheet or wizard.
#pragma once

#include <QPointer>
#include <QWidget>

#include "foundation/tsuikitglobal.h"

/**
 * @class CTsPropertyPage tspropertypage.h "sheet/tspropertypage.h"
 *
 * One page of a CTsPropertySheet: a tab in property-sheet mode, a step in wizard mode.
 *
 * Derive from it, put your controls on it and override the hooks to accept or veto the
 * sheet's navigation. The page draws nothing itself; it carries the header texts that a
 * wizard shows above it, whether a header is wanted, and the sheet that holds it.
 *
 * The sheet reads the header texts and the show-header flag once, when the page is added;
 * later changes do not reach a header already built.
 */
class TSUIKIT_EXPORT CTsPropertyPage : public QWidget
{
    Q_OBJECT

public:
    /** Constructs an empty page: no header texts, header shown, no sheet. */
    explicit CTsPropertyPage(QWidget *parent = nullptr);
    ~CTsPropertyPage() override;

    /** Copies the NUL-terminated @p text into the header title; null or empty clears it. */
    void SetHeaderTitle(const unsigned short *text);
    /** Copies the NUL-terminated @p text into the header subtitle; null or empty clears it. */
    void SetHeaderSubTitle(const unsigned short *text);

    /**
     * A new BSTR holding a copy of the header title, zero-length (never null) when the title
     * is empty. The caller owns it and frees it with SysFreeString.
     * Throws ATL's CAtlException with E_OUTOFMEMORY when it cannot be allocated.
     */
    unsigned short *GetHeaderTitle();
    /** As GetHeaderTitle(), for the subtitle. */
    unsigned short *GetHeaderSubTitle();

    /** Nonzero puts a header band above the page in a wizard. The value is kept as given. */
    void SetShowHeader(int show);
    int IsShowHeader();

    /** The sheet holding the page; set by CTsPropertySheet::AddPage(CTsPropertyPage*). */
    void SetSheet(QWidget *sheet);
    /** The holding sheet, or null until set (and once that sheet is gone). */
    QWidget *GetSheet();

    /** Asked of every page when OK is pressed; false keeps the sheet open on this page. */
    virtual bool OnQueryOK();
    /** Asked of every page once all passed OnQueryOK(); false keeps the sheet open. */
    virtual bool OnOK();
    /** Asked before the wizard steps back from this page; false stays. */
    virtual bool OnWizardBack();
    /** Asked before the wizard steps forward from this page; false stays. */
    virtual bool OnWizardNext();
    /** Asked before the wizard closes as accepted on this page; false keeps it open. */
    virtual bool OnWizardFinish();

private:
    WString m_headerTitle;
    WString m_headerSubTitle;
    int m_showHeader;
    // Not owned. Guarded, so a page taken out of a destroyed sheet never sees a dangling sheet.
    QPointer<QWidget> m_sheet;
};
