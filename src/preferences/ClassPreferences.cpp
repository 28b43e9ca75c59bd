#include "ClassPreferences.h"

ClassPreferences &Preferences()
{
    static ClassPreferences instance;
    return instance;
}
