#pragma once

#include "report/attribute_evaluation.h"

class CIniStore;

// Evaluates the report opened in report against the attribute table opened
// in table; what the viewer's table and the terminal report both show.
ReportEvaluation EvaluateReportStores(CIniStore& report, CIniStore& table);
