#include "collector/smartctl_source.h"

CSmartctlSource::~CSmartctlSource() = default;
