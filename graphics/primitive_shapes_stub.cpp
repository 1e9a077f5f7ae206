// Primitive shapes are not built yet: every generator answers null, so a primitive part stays
// without geometry.
#include <kivctrl/gsobject.h>

GSobject *GSobject_newblock(float, float, float, unsigned char, unsigned char)
{
    return nullptr;
}

GSobject *GSobject_newcone(float, float, int, unsigned char, unsigned char)
{
    return nullptr;
}

GSobject *GSobject_newcylinder(float, float, int, unsigned char, unsigned char, unsigned char)
{
    return nullptr;
}

GSobject *GSobject_newsphere(float, int, int, unsigned char, unsigned char, unsigned char)
{
    return nullptr;
}

GSobject *GSobject_newplane(float, float, unsigned char, unsigned char, unsigned char)
{
    return nullptr;
}

GSobject *GSobject_newhelix(float, float, int, float, int, float)
{
    return nullptr;
}
