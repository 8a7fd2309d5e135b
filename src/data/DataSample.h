#pragma once
// The sample project with data: a form bound to the demo database's customers table, and a query
// of its own over the orders with a sort order and saved filters.
#include <QString>

// Writes "Sample3.KvR" into dir; the demo database is generated beside it when it is not there
// yet. False with a reason in error when it cannot be written.
bool WriteDataSample(const QString& dir, QString& file, QString& error);
