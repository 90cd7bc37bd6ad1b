// Device profile blocks of the "560" family, lighting, report rate, parameter block 0.
#include "view/myqquickview.h"

#include "device/hid_thread.h"

void myQQuickView::mouseReadProfile(uint profileNo)
{
    if (!hid || profileNo > 4)
        return;
    hid->hid560_8CH_readProfile(profileBlocks[profileNo], static_cast<uchar>(profileNo));
}
