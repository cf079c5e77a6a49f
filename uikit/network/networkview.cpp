#include "network/networkview.h"

#include "foundation/resourcetext_p.h"
#include "foundation/waitcursor_p.h"
#include "widgets/pixmaps.h"

#include "browser.h"
#include "tserrortext.h"
#include "wnet.h"

#include <QMessageBox>

#include <algorithm>
#include <list>

namespace {

// The text of the placeholder child that marks an item as not yet filled.
const QString kPlaceholder = QStringLiteral("**********");
// Name buffers handed to the browser, as its interface wants them.
constexpr int kNameBufferSize = 512;
// Where an item of a directory path record keeps the record's serial number.
constexpr int kSerialRole = Qt::UserRole + 0x4E56;

int KindOf(QTreeWidgetItem *item)
{
    const QVariant kind = item->data(0, Qt::UserRole);
    return kind.isValid() ? kind.toInt() : 0;
}

int IsKind(QTreeWidgetItem *item, int kind)
{
    if (!item)
        return 0;
    const QVariant data = item->data(0, Qt::UserRole);
    bool ok = false;
    return data.isValid() && data.toInt(&ok) == kind && ok ? 1 : 0;
}

WString FromBuffer(const WCHAR *buffer) { return WString(buffer); }

// A language-module text cut as a 512-unit buffer would cut it.
QString BufferText(UINT id) { return tsuikit::ResourceQString(id).left(kNameBufferSize - 1); }

} // namespace

CNetworkView::CNetworkView(QWidget *parent)
    : CTreeWidgetEx(parent), m_kindIconCut{}, m_nextSerial(1)
{
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHeaderLabels(QStringList(tr("Computer")));
    setHeaderHidden(true);
    // Named for screen readers, which would otherwise hear an anonymous tree, for instance when the
    // focus comes back from an error box.
    setAccessibleName(tr("Network"));
    m_iconStrip = LoadPixmap(10379, 10380);
    connect(this, &QTreeWidget::itemExpanded, this, &CNetworkView::OnTreeItemExpanded);
    connect(this, &QTreeWidget::itemActivated, this, &CNetworkView::OnTreeItemExpanded);
    connect(this, &QTreeWidget::currentItemChanged, this, &CNetworkView::OnCurrentItemChange);
}

CNetworkView::~CNetworkView()
{
    m_directoryPaths.clear();
    m_iconStrip = QPixmap();
}

QString CNetworkView::KindDescription(int kind)
{
    switch (kind) {
    case MicrosoftNetwork: return tr("Network");
    case Domain: return tr("Domain");
    case Computer: return tr("Computer");
    case DirectoryContainer: return tr("Directory container");
    case Directory: return tr("Directory");
    case DNSDirectory: return tr("Directory domain");
    case OtherObject: return tr("Directory object");
    default: return QString();
    }
}

QTreeWidgetItem *CNetworkView::CreateItem(const WString &text, int kind)
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, QStringFromWString(text));
    // Screen readers cannot see the icon: the description says the kind.
    item->setData(0, Qt::AccessibleDescriptionRole, KindDescription(kind));
    // One icon per kind, shared by every item of that kind: a fill of thousands of computers must
    // not copy the strip thousands of times.
    if (kind >= 0 && kind < int(std::size(m_kindIcons))) {
        if (!m_kindIconCut[kind]) {
            // A cell beyond the strip's end stays without icon.
            const QPixmap cell = 16 * (kind + 1) <= m_iconStrip.width()
                                     ? GetIndexOfPixmap(m_iconStrip, kind, QSize(16, 16))
                                     : QPixmap();
            m_kindIcons[kind] = cell.isNull() ? QIcon() : QIcon(cell);
            m_kindIconCut[kind] = true;
        }
        item->setIcon(0, m_kindIcons[kind]);
    }
    // Other kinds (-1) have no cell and show no icon.
    item->setData(0, Qt::UserRole, kind);
    return item;
}

QTreeWidgetItem *CNetworkView::InsertItem(const WString &text, int kind, QTreeWidgetItem *parent, int index)
{
    QTreeWidgetItem *item = CreateItem(text, kind);
    if (!parent)
        addTopLevelItem(item);
    else if (index == -1)
        parent->addChild(item);
    else
        parent->insertChild(index, item);
    return item;
}

int CNetworkView::IsItemMicrosoftNetwork(QTreeWidgetItem *item) { return IsKind(item, MicrosoftNetwork); }
int CNetworkView::IsItemDomain(QTreeWidgetItem *item) { return IsKind(item, Domain); }
int CNetworkView::IsItemComputer(QTreeWidgetItem *item) { return IsKind(item, Computer); }
int CNetworkView::IsItemDirectory(QTreeWidgetItem *item) { return IsKind(item, Directory); }
int CNetworkView::IsItemDNSDirectory(QTreeWidgetItem *item) { return IsKind(item, DNSDirectory); }

bool CNetworkView::HasFolderBeenExpandedOnce(QTreeWidgetItem *item)
{
    if (!item || item->childCount() == 0)
        return true;
    return item->child(0)->text(0) != kPlaceholder;
}

void CNetworkView::MarkFolderAsExpandedOnce(QTreeWidgetItem *item, int expanded)
{
    if (!item)
        return;
    if (expanded == 0) {
        auto *placeholder = new QTreeWidgetItem;
        placeholder->setText(0, kPlaceholder);
        item->addChild(placeholder);
        return;
    }
    if (item->childCount() > 0 && item->child(0)->text(0) == kPlaceholder)
        delete item->takeChild(0);
}

void CNetworkView::OnTreeItemExpanded(QTreeWidgetItem *item)
{
    if (!item || HasFolderBeenExpandedOnce(item))
        return;
    MarkFolderAsExpandedOnce(item, 1);
    if (IsItemMicrosoftNetwork(item))
        PopulateDomains(item);
    else if (IsItemDomain(item))
        PopulateComputers(item);
    else if (IsItemComputer(item))
        return;
    else if (IsItemDirectory(item))
        ListDNSInDirectory(item);
    else
        ListObjectsInActiveDirectory(item);
}

void CNetworkView::PopulateDomains(QTreeWidgetItem *parent)
{
    if (!parent)
        return;
    tsuikit::WaitCursor wait;
    CBrowser browser;
    if (!browser.FindFirstDomain()) {
        wait.Restore();
        DisplayBrowserErrorMessage(browser.GetErrorMessage());
        return;
    }
    // Built apart and added at once: one insertion for the tree instead of one per domain.
    QList<QTreeWidgetItem *> domains;
    WCHAR name[kNameBufferSize];
    do {
        std::fill(std::begin(name), std::end(name), WCHAR(0));
        if (browser.GetDomainName(name)) {
            QTreeWidgetItem *domain = CreateItem(FromBuffer(name), Domain);
            MarkFolderAsExpandedOnce(domain, 0);
            domains.append(domain);
        }
    } while (browser.FindNextDomain());
    browser.FindDomainClose();
    parent->addChildren(domains);
}

void CNetworkView::PopulateComputers(QTreeWidgetItem *domain)
{
    if (!domain)
        return;
    tsuikit::WaitCursor wait;
    CBrowser browser;
    WCHAR domainName[kNameBufferSize] = {};
    const QString text = domain->text(0).left(kNameBufferSize - 1);
    std::copy_n(text.utf16(), text.size(), domainName);
    if (!browser.FindFirstComputer(domainName)) {
        wait.Restore();
        DisplayBrowserErrorMessage(browser.GetErrorMessage());
        return;
    }
    QList<QTreeWidgetItem *> computers;
    WCHAR name[kNameBufferSize];
    do {
        std::fill(std::begin(name), std::end(name), WCHAR(0));
        if (!browser.GetComputerNameW(name))
            continue;
        DWORD major = 0;
        DWORD minor = 0;
        browser.GetMachineVersion(major, minor);
        if (major < 5)
            continue;
        // A UNC name loses its two leading backslashes.
        const WCHAR *shown = name[0] == u'\\' ? name + 2 : name;
        computers.append(CreateItem(FromBuffer(shown), Computer));
    } while (browser.FindNextComputer());
    browser.FindComputerClose();
    domain->addChildren(computers);
}

void CNetworkView::PopulateActiveDirectory(QTreeWidgetItem *parent)
{
    if (!CBrowser::IsDomainActiveDirectory())
        return;
    QTreeWidgetItem *directory = InsertItem(WStringFromQString(BufferText(61409)), Directory, parent, -1);
    MarkFolderAsExpandedOnce(directory, 0);
}

void CNetworkView::RecordDirectoryPath(const WString &path, QTreeWidgetItem *item)
{
    const quint64 serial = m_nextSerial++;
    item->setData(0, kSerialRole, serial);
    m_directoryPaths.append(DirectoryPathEntry{path, item, serial});
}

void CNetworkView::ListDNSInDirectory(QTreeWidgetItem *directoryItem)
{
    m_directoryPaths.clear();
    tsuikit::WaitCursor wait;
    QList<WString> names;
    const long hr = EnumDNSNamesInDirectory(names);
    if (hr >= 0) {
        for (const WString &name : qAsConst(names)) {
            QTreeWidgetItem *tree = InsertItem(name, DNSDirectory, directoryItem, -1);
            MarkFolderAsExpandedOnce(tree, 0);
            RecordDirectoryPath(u"LDAP://" + name, tree);
        }
    }
}

long CNetworkView::EnumDNSNamesInDirectory(QList<WString> &names)
{
    IADsADSystemInfo *info = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ADSystemInfo, nullptr, CLSCTX_INPROC_SERVER, IID_IADsADSystemInfo,
                                  reinterpret_cast<void **>(&info));
    if (FAILED(hr))
        return hr;
    VARIANT trees;
    VariantInit(&trees);
    hr = info->GetTrees(&trees);
    if (FAILED(hr)) {
        info->Release();
        return hr;
    }
    // Anything but a one-dimensional array holding variants is read as no trees: elements of
    // another type would not fit the VARIANT they are copied into.
    SAFEARRAY *array = trees.vt == (VT_ARRAY | VT_VARIANT) ? trees.parray : nullptr;
    VARTYPE elementType = VT_EMPTY;
    if (array && (FAILED(SafeArrayGetVartype(array, &elementType)) || elementType != VT_VARIANT))
        array = nullptr;
    if (array && SafeArrayGetDim(array) == 1) {
        LONG lower = 0;
        LONG upper = -1;
        SafeArrayGetLBound(array, 1, &lower);
        hr = SafeArrayGetUBound(array, 1, &upper);
        if (SUCCEEDED(hr)) {
            for (LONG i = lower; i <= upper; ++i) {
                VARIANT element;
                VariantInit(&element);
                LONG index = i;
                if (SUCCEEDED(SafeArrayGetElement(array, &index, &element)) && element.vt == VT_BSTR)
                    names.append(element.bstrVal ? WString(element.bstrVal, SysStringLen(element.bstrVal))
                                                 : WString());
                VariantClear(&element);
                // An upper bound of LONG_MAX would wrap the loop.
                if (i == upper)
                    break;
            }
        }
    }
    VariantClear(&trees);
    info->Release();
    return hr;
}

void CNetworkView::ListObjectsInActiveDirectory(QTreeWidgetItem *item)
{
    if (m_directoryPaths.isEmpty())
        return;
    // Only a record made for this very item counts: a deleted item's record stays behind, and a
    // new item may get its address.
    const auto record = std::find_if(m_directoryPaths.cbegin(), m_directoryPaths.cend(), [item](const DirectoryPathEntry &e) {
        return e.item == item && item->data(0, kSerialRole) == QVariant(e.serial);
    });
    if (record == m_directoryPaths.cend() || record->path.empty())
        return;
    const WString path = record->path;

    tsuikit::WaitCursor wait;
    CBrowser browser;
    std::list<CBrowser::_ACTIVE_DIRECTORY_BROWSER_DATA> children;
    browser.PopulateADAtLevel(path, children);
    for (const CBrowser::_ACTIVE_DIRECTORY_BROWSER_DATA &child : children) {
        int kind = OtherObject;
        switch (child.objectType) {
        case 0: kind = Computer; break;
        case 1: kind = DirectoryContainer; break;
        case 2: kind = DNSDirectory; break;
        default: break;
        }
        if (child.objectType != 0 && !CBrowser::DoesContainerHaveComputerInIt(child.adsPath))
            continue;
        QTreeWidgetItem *inserted = InsertItem(child.displayName, kind, item, -1);
        if (kind != Computer) {
            MarkFolderAsExpandedOnce(inserted, 0);
            RecordDirectoryPath(child.adsPath, inserted);
        }
    }
}

void CNetworkView::OnCurrentItemChange(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    if (!current)
        return;
    const QList<QTreeWidgetItem *> selected = selectedItems();
    const int kind = KindOf(current);
    for (QTreeWidgetItem *item : selected) {
        if (KindOf(item) != kind)
            item->setSelected(false);
        QTreeWidgetItem *parent = item->parent();
        if (parent && parent->isSelected()) {
            item->setSelected(false);
            parent->setSelected(false);
        }
    }
    current->setSelected(true);
}

void CNetworkView::DisplayBrowserErrorMessage(unsigned long code)
{
    QString text;
    switch (code) {
    case ERROR_ACCESS_DENIED: text = BufferText(32003); break;
    case NERR_InvalidComputer: text = BufferText(32004); break;
    case ERROR_NO_BROWSER_SERVERS_FOUND: text = BufferText(32005); break;
    case ERROR_NO_SUCH_DOMAIN: text = BufferText(32006); break;
    case ERROR_NOT_ENOUGH_MEMORY: text = BufferText(32007); break;
    case ERROR_EXTENDED_ERROR: {
        WCHAR description[kNameBufferSize] = {};
        WCHAR provider[kNameBufferSize] = {};
        DWORD providerError = 0;
        WNetGetLastErrorW(&providerError, description, kNameBufferSize, provider, kNameBufferSize);
        text = QStringFromWString(FromBuffer(description));
        break;
    }
    default: {
        WCHAR buffer[kNameBufferSize] = {};
        GetErrorText(DWORD(code), buffer, kNameBufferSize);
        text = QStringFromWString(FromBuffer(buffer));
        break;
    }
    }
    if (text.isEmpty())
        return;
    // The text is shown as written, also where it holds '<' or '&'.
    QMessageBox::critical(this, BufferText(129), QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>"),
                          QMessageBox::Ok);
}
