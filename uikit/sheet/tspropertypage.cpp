#include "sheet/tspropertypage.h"

#include <cstring>

namespace {

// The caller's units may be any 16-bit type; copy them bytewise into our own.
WString CopyText(const unsigned short *text)
{
    if (!text)
        return WString();
    size_t length = 0;
    while (text[length] != 0)
        ++length;
    WString copy(length, WCHAR(0));
    if (length)
        std::memcpy(&copy[0], text, length * sizeof(WCHAR));
    return copy;
}

unsigned short *CopyToBSTR(const WString &text)
{
    BSTR copy = SysAllocStringLen(text.c_str(), UINT(text.size()));
    if (!copy)
        ATL::AtlThrow(E_OUTOFMEMORY);
    return reinterpret_cast<unsigned short *>(copy);
}

static_assert(sizeof(unsigned short) == sizeof(WCHAR), "header texts are 16-bit units");

} // namespace

CTsPropertyPage::CTsPropertyPage(QWidget *parent)
    : QWidget(parent), m_showHeader(1)
{
}

CTsPropertyPage::~CTsPropertyPage() = default;

void CTsPropertyPage::SetHeaderTitle(const unsigned short *text)
{
    m_headerTitle = CopyText(text);
}

void CTsPropertyPage::SetHeaderSubTitle(const unsigned short *text)
{
    m_headerSubTitle = CopyText(text);
}

unsigned short *CTsPropertyPage::GetHeaderTitle()
{
    return CopyToBSTR(m_headerTitle);
}

unsigned short *CTsPropertyPage::GetHeaderSubTitle()
{
    return CopyToBSTR(m_headerSubTitle);
}

void CTsPropertyPage::SetShowHeader(int show)
{
    m_showHeader = show;
}

int CTsPropertyPage::IsShowHeader()
{
    return m_showHeader;
}

void CTsPropertyPage::SetSheet(QWidget *sheet)
{
    m_sheet = sheet;
}

QWidget *CTsPropertyPage::GetSheet()
{
    return m_sheet.data();
}

bool CTsPropertyPage::OnQueryOK()
{
    return true;
}

bool CTsPropertyPage::OnOK()
{
    return true;
}

bool CTsPropertyPage::OnWizardBack()
{
    return true;
}

bool CTsPropertyPage::OnWizardNext()
{
    return true;
}

bool CTsPropertyPage::OnWizardFinish()
{
    return true;
}
