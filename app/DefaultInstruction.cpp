#include "app/DefaultInstruction.h"

#include "app/ScreenParts.h"
#include "framework/Effects.h"
#include "framework/StaticPicture.h"

void BuildDefaultInstructionPage(IMDialog* dialog)
{
    if (dialog == nullptr)
        return;
    IMPicture* background = dialog->CreatePicture(0, 0, L"DefaultBackGround", 0, 0xFFFFFFFF);
    // Stretched over the whole dialog, whatever the picture's own size.
    background->SetRect(RECT { 0, 0, dialog->GetWidth(), dialog->GetHeight() });
    CreateCentredText(dialog, 20, L"информационный источник сложной структуры", 18);
    CreateCentredText(dialog, 100, L"Справка", 24);
}
