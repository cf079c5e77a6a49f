// Ready-made first page of the product's wizards.
#pragma once

#include "sheet/tspropertypage.h"

class QCheckBox;
class QShowEvent;

/**
 * @class CTsPropertyIntroPage tspropertyintropage.h "sheet/tspropertyintropage.h"
 *
 * The introduction step of a wizard: a picture at the left, stretched to the page's height,
 * and at the right a large bold title, a wrapped explanation and, at the bottom, the
 * wizard-mode check box, all on the system window colour. It shows no header band.
 *
 * Whenever it is shown in a wizard it enables the sheet's Next button again. The caller
 * reads the check box with IsWizardModeCheck(); the page does nothing with it.
 *
 * Call SetInfo() once, before the page is shown; the check-box operations act on the check box
 * that SetInfo() creates and do nothing before it.
 */
class TSUIKIT_EXPORT CTsPropertyIntroPage : public CTsPropertyPage
{
public:
    explicit CTsPropertyIntroPage(QWidget *parent = nullptr);
    ~CTsPropertyIntroPage() override;

    /**
     * Builds the page. The page takes over @p bitmap and deletes it; a null or invalid handle
     * gives an empty picture. The check box starts checked, and is hidden unless @p showCheck.
     */
    void SetInfo(HBITMAP bitmap, WString title, WString text, bool showCheck);

    void SetCheckForWizardMode(bool check);
    /** True exactly when the check box is checked (also while it is hidden). */
    bool IsWizardModeCheck();
    /** Enables or disables the check box. */
    void SetEnabledWizardMode(bool enable);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QCheckBox *m_wizardModeCheck;
};
