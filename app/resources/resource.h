// Identifiers and version numbers shared by zerlo.rc and any code that wants them.
//
// The application icon's resource is named by the string "IDI_MYAPP_ICON", not
// by a number: there is deliberately no #define for it, so the resource
// compiler stores the name itself, and code finds it with
// LoadIconW(instance, L"IDI_MYAPP_ICON").
#ifndef ZERLO_APP_RESOURCES_RESOURCE_H
#define ZERLO_APP_RESOURCES_RESOURCE_H

// Keep in step with project(Zerlo VERSION ...) in the top CMakeLists.txt.
#define ZERLO_VERSION_MAJOR 1
#define ZERLO_VERSION_MINOR 0
#define ZERLO_VERSION_PATCH 0
#define ZERLO_VERSION_BUILD 0
#define ZERLO_VERSION_STRING "1.0.0.0"

#endif
