#include "platform/media/SJRotationManager.h"

namespace {

unsigned g_mask = UIInterfaceOrientationMaskPortrait;

}

unsigned SJRotationManager::supportedInterfaceOrientationsForWindow(const UIWindow*)
{
    return g_mask;
}

void SJRotationManager::setSupportedInterfaceOrientations(unsigned mask)
{
    // An empty set would leave the window no orientation at all.
    g_mask = mask != 0 ? mask : UIInterfaceOrientationMaskPortrait;
}

void SJRotationManager::resetForTesting()
{
    g_mask = UIInterfaceOrientationMaskPortrait;
}
