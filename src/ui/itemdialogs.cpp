#include "ui/itemdialogs.h"

#include "app/itemslock.h"
#include "model/bideditform.h"
#include "model/bidsdoc.h"
#include "model/itemcommands.h"
#include "ui/biditemdlg.h"
#include "ui/userprompt.h"

#include <memory>

namespace {

std::function<void()>& optionsOpener()
{
    static std::function<void()> opener;
    return opener;
}

} // namespace

void CItemDialogs::setOptionsOpener(std::function<void()> openOptions)
{
    optionsOpener() = std::move(openOptions);
}

bool CItemDialogs::runAddItem(QWidget* parent, CBidsDoc& doc, CBidFolder* selectedFolder,
                              const QString& presetId)
{
    ItemCommands commands(doc);
    const AddItemStart start = commands.beginAdd(selectedFolder);
    if (!start.credentialsQuestion.isEmpty()) {
        if (UserPrompt::confirm(parent, start.credentialsQuestion, IMainWindow::Icon::Warning) &&
            optionsOpener())
            optionsOpener()();
        return false;
    }
    // Finished bids live in closed folders: nothing can be added there.
    if (!start.target)
        return false;

    CBidItem fresh;
    fresh.setId(presetId.trimmed());
    fresh.setEndTime(start.defaultEndTime);
    CBidItemDlg dialog(CBidItemDlg::Mode::Add, fresh, &doc.itemsLock(), parent);
    dialog.setFolderChoices(start.folderChoices);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    const BidEditForm form = dialog.form();
    const QString refusal = commands.addItem(dialog.newBid(form), form.folderChoice, start.target);
    if (!refusal.isEmpty()) {
        UserPrompt::inform(parent, refusal, IMainWindow::Icon::Warning);
        return false;
    }
    return true;
}

bool CItemDialogs::runEditItem(QWidget* parent, CBidsDoc& doc, int itemIndex)
{
    CBidItem* item = nullptr;
    CBidItem copy;
    {
        ItemsLockGuard guard(doc.itemsLock());
        if (!guard.isHeld())
            return false;
        item = doc.itemAt(itemIndex);
        if (!item)
            return false;
        copy = *item;
    }
    const bool readOnly = BidEditForm::isReadOnlyFor(copy);
    CBidItemDlg dialog(readOnly ? CBidItemDlg::Mode::ReadOnly : CBidItemDlg::Mode::Edit, copy,
                       &doc.itemsLock(), parent);
    if (dialog.exec() != QDialog::Accepted || readOnly)
        return false;

    ItemsLockGuard guard(doc.itemsLock());
    // The bid may have been deleted while the dialog was open.
    if (!guard.isHeld() || doc.indexOf(item) < 0 || item->id() != copy.id())
        return false;
    ItemCommands(doc).applyEdit(item, dialog.form());
    return true;
}
