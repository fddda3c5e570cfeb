// Shell: opening a document or address with its associated program.
#pragma once
#include "windows.h"
#include "winplat/shell_decl.h"
