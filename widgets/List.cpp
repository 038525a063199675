#include "widgets/List.h"

#include "framework/Messages.h"

IMList::IMList(IMDialog* parent, int layer) : IMViewControl<IMEmptyView>(parent, layer)
{
    if (!parent)
        return;
    const RECT none {};
    frame = new IMDialog(parent, &none, layer);
    frameAlive = ConnectTracked(frame->sigUpdate, frame, [](const IMEvent&) { return 0L; });
    background = frame->CreatePicture(0, 0, L"EditBarBackGround");
    top = frame->CreatePicture(0, 0, L"EditBarKaretka");
    bottom = frame->CreatePicture(0, 0, L"EditBarKaretka");
    left = frame->CreatePicture(0, 0, L"EditBarKaretka");
    right = frame->CreatePicture(0, 0, L"EditBarKaretka");
    itemsDialog = new IMDialog(frame, &none);
    mask = itemsDialog->CreatePicture(0, 0, L"SelectionMask");
    mask->Hide();
}

IMList::~IMList() = default;

long IMList::Release()
{
    if (frameAlive.connected())
        frame->Destroy(IMEvent { frame, WM_CLOSE });
    frameAlive.disconnect();
    return IMViewControl<IMEmptyView>::Release();
}

long IMList::SetRect(const RECT& r)
{
    IMViewControl<IMEmptyView>::SetRect(r);
    if (!frameAlive.connected())
        return 0;
    const int w = RectWidth(r);
    const int h = RectHeight(r);
    frame->SetRect(r);
    itemsDialog->SetRect(RECT { 1, 1, w - 1, h - 1 });
    background->SetRect(RECT { 1, 1, w - 1, h - 1 });
    left->SetRect(RECT { 0, 0, 1, h });
    top->SetRect(RECT { 0, 0, w, 1 });
    bottom->SetRect(RECT { 0, h - 1, w, h });
    right->SetRect(RECT { w - 1, 0, w, h });
    if (selected)
        Select(selected);
    return 0;
}

IMTextLabel* IMList::AddItem(const std::wstring& text)
{
    if (!frameAlive.connected())
        return nullptr;
    int y = 0;
    for (auto* item : items)
        y += item->GetHeight();
    IMTextLabel* item = itemsDialog->CreateText(0, y, text);
    item->SetTextColour(0xFF000000);
    ConnectTracked(item->sigClick, this, [this, item](const IMMouseEvent&) { return Select(item); });
    items.push_back(item);
    return item;
}

long IMList::Select(IMTextLabel* item)
{
    selected = item;
    if (!frameAlive.connected())
        return 0;
    if (!item) {
        mask->Hide();
        return 0;
    }
    mask->Show();
    const RECT r = item->GetRect();
    mask->SetRect(RECT { 0, r.top, itemsDialog->GetWidth(), r.bottom + 1 });
    return 0;
}
