// The stored layouts of the base window and of the import window.
#pragma once

#include "winlib/application/layout.h"

const Layout& BaseFormLayout();
const Layout& InstallFormLayout();
