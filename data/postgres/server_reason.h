#pragma once

#include <QString>

struct pg_conn;
struct pg_result;

// Why a call to the server failed, as a user reads it: the cause in Russian, then the server's
// or libpq's own words in brackets, e.g. "связь с сервером прервана (server closed the
// connection unexpectedly)". `result` may be null (a lost connection).
QString serverReason(const pg_conn* conn, const pg_result* result);

// The same for a connection that could not be made (PQstatus is CONNECTION_BAD). libpq gives
// no code for it: the cause comes from what libpq reports of the attempt that decided,
// matched with libpq's English words (see ServerSession::connect).
QString connectReason(const pg_conn* conn);

// Whether a failed call leaves the connection unusable, so that the next call must connect
// anew: it broke, the server ended it, or (after a failover) it reaches a standby.
bool connectionLost(const pg_conn* conn, const pg_result* result);
