// A tree of the Windows network: domains, their computers, and the directory's containers.
#pragma once

#include "foundation/tsuikitglobal.h"
#include "widgets/treewidgetex.h"

#include <QIcon>
#include <QList>
#include <QPixmap>

/**
 * @class CNetworkView networkview.h "network/networkview.h"
 * A tree in which the user picks computers of the Windows network.
 *
 * The caller builds the top of the tree with InsertItem() and marks each folder-like item as not
 * yet filled with MarkFolderAsExpandedOnce(item, 0), which gives it a placeholder child. The first
 * time such an item is expanded or activated (double-click, Enter) the view fills it, with a wait
 * cursor:
 * - the whole network (kind 2) with its domains, each again unfilled (PopulateDomains());
 * - a domain (kind 3) with its computers of system version 5 or later (PopulateComputers());
 * - the directory node (kind 10, added by PopulateActiveDirectory() when this machine is in a
 *   directory domain) with the DNS names of the forest's trees, from the directory service's
 *   ADSystemInfo object (COM must be initialised on the calling thread);
 * - a tree or a container with its child objects, leaving out containers without computers.
 * Each item is filled once; a failing domain or computer enumeration is explained in a critical
 * message box with a text of the language module. There is no refresh: to enumerate again, remove
 * the item and insert a new one.
 *
 * Every item the view inserts carries its kind (NetworkItemKind) as an int in column 0 under
 * Qt::UserRole; the IsItem...() tests read it back. When the current item changes, items of
 * another kind and items whose parent is selected leave the selection, so the caller reads a
 * selection of one kind without parents and their children together. The view adds no signals.
 */
class TSUIKIT_EXPORT CNetworkView : public CTreeWidgetEx
{
    Q_OBJECT

public:
    /** Item kinds; a kind is also the index of its 16 x 16 icon cell in the language module's strip. */
    enum NetworkItemKind {
        OtherObject = -1,        ///< a directory object of another type that holds computers
        MicrosoftNetwork = 2,    ///< the Windows network as a whole (made by the caller)
        Domain = 3,              ///< a domain or workgroup
        Computer = 4,            ///< a computer; a leaf
        DirectoryContainer = 7,  ///< a container of the directory
        Directory = 10,          ///< the directory node
        DNSDirectory = 11,       ///< a directory tree by its DNS name, or a domain object
    };

    explicit CNetworkView(QWidget *parent = nullptr);
    ~CNetworkView() override;

    /**
     * A new item with @p text, the icon of @p kind and @p kind under Qt::UserRole: a top-level item
     * when @p parent is null, else the last child of @p parent (@p index -1) or child number
     * @p index. Adds no placeholder. The tree owns the item.
     */
    QTreeWidgetItem *InsertItem(const WString &text, int kind, QTreeWidgetItem *parent, int index);

    /** 1 when @p item carries that kind, else 0 (also for placeholders and items of others). */
    int IsItemMicrosoftNetwork(QTreeWidgetItem *item);
    int IsItemDomain(QTreeWidgetItem *item);
    int IsItemComputer(QTreeWidgetItem *item);
    int IsItemDirectory(QTreeWidgetItem *item);
    int IsItemDNSDirectory(QTreeWidgetItem *item);

    /** False while the first child of @p item is the placeholder; true otherwise (no children too). */
    bool HasFolderBeenExpandedOnce(QTreeWidgetItem *item);

    /**
     * With @p expanded 0, appends a placeholder child to @p item (call it right after InsertItem(),
     * so the placeholder comes first). With any other value, removes the placeholder if it is the
     * first child; otherwise nothing happens.
     */
    void MarkFolderAsExpandedOnce(QTreeWidgetItem *item, int expanded);

    /** Appends the network's domains below @p parent, each unfilled; a failure shows its message. */
    void PopulateDomains(QTreeWidgetItem *parent);
    /** Appends the computers of the domain @p domain names (its text); a failure shows its message. */
    void PopulateComputers(QTreeWidgetItem *domain);
    /** Appends an unfilled directory node below @p parent when this machine is in a directory domain. */
    void PopulateActiveDirectory(QTreeWidgetItem *parent);

private slots:
    void OnTreeItemExpanded(QTreeWidgetItem *item);
    void OnCurrentItemChange(QTreeWidgetItem *current, QTreeWidgetItem *previous);

private:
    // The directory path of a directory item. `serial` is also stored on the item itself, so a
    // record never matches a later item that happens to get the address of a deleted one.
    struct DirectoryPathEntry {
        WString path;
        QTreeWidgetItem *item;
        quint64 serial;
    };

    void ListDNSInDirectory(QTreeWidgetItem *directoryItem);
    void ListObjectsInActiveDirectory(QTreeWidgetItem *item);
    long EnumDNSNamesInDirectory(QList<WString> &names);
    void DisplayBrowserErrorMessage(unsigned long code);

    // A new unplaced item of `kind` with its icon; the icon of each kind is cut from the strip once.
    QTreeWidgetItem *CreateItem(const WString &text, int kind);
    // What a screen reader is told of an item of @p kind; empty for no kind.
    static QString KindDescription(int kind);
    // Records `path` for `item`, an item this view inserted.
    void RecordDirectoryPath(const WString &path, QTreeWidgetItem *item);

    QList<DirectoryPathEntry> m_directoryPaths;
    QPixmap m_iconStrip;
    QIcon m_kindIcons[12];
    bool m_kindIconCut[12];
    quint64 m_nextSerial;
};
