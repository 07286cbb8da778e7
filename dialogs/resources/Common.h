#pragma once
// Resource ids shared by every dialog family.

#define IDS_CREATING 3031
#define IDS_MODIFYING 3032
#define IDS_OBJECT 3033
#define IDS_OBJECTS 3034
