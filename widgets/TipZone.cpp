#include "widgets/TipZone.h"

TipZone::TipZone()
{
    setOpaque(false);
    setWantsKeyboardFocus(false);
}

TipZone::~TipZone() = default;
