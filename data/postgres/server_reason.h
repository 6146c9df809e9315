#pragma once

#include <QString>

struct pg_conn;
struct pg_result;

// Why a call to the server failed, as a user reads it: the cause in Russian, the server's or
// libpq's own words after it in brackets, e.g. "связь с сервером прервана (server closed the
// connection unexpectedly)". `result` may be null (a failed connection, a lost one).
QString serverReason(const pg_conn* conn, const pg_result* result);
