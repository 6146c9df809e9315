#!/usr/bin/env bash
# Sets up the database and the roles of a shared directory on a PostgreSQL server. Running it
# again changes nothing that is already right, so it also adds people later.
#     bash tools/setup_server_roles.sh [--database tel] [--owner telspr_owner]
#         [--operators telspr_operators] [--readers telspr_readers]
#         [--operator LOGIN]... [--reader LOGIN]...
# Run it as root on the server (psql then runs as the postgres user), or as a database
# superuser named by PGHOST, PGPORT and PGUSER.
#  - The owner, a login, owns the database and so creates the tables (telspr-demo) and loads
#    them (telspr-import).
#  - The operators' group may search, add, change and delete entries: SELECT, INSERT, UPDATE
#    and DELETE on the tables, USAGE on their key sequences. DROP, ALTER, TRUNCATE and CREATE
#    stay the owner's.
#  - The readers' group may only search: SELECT.
#  - Each --operator or --reader LOGIN is one person's login, a member of that group alone.
# The groups get exactly these rights on the tables there now and, through default
# privileges, on every table the owner makes later. Only the owner and the groups' members
# may connect to the database.
# Passwords never appear on a command line. A login without one gets it from the environment
# variable TELSPR_PASSWORD_<LOGIN in capitals> (TELSPR_PASSWORD_IVANOVA) when that is set;
# otherwise psql's \password asks for it on the terminal, and without a terminal the script
# says how to set it later. A set variable changes an existing password too. Either way psql
# hands the server only the password's SCRAM hash.
set -euo pipefail

database=tel owner=telspr_owner operators=telspr_operators readers=telspr_readers
operator_logins=() reader_logins=()

script="$(readlink -f "$0")"
usage() {
    sed -n '4,6s/^#//p' "$script" >&2
    exit 2
}
fail() {
    echo "setup_server_roles: $*" >&2
    exit 1
}

while (($#)); do
    (($# >= 2)) || usage
    case "$1" in
        --database) database="$2" ;;
        --owner) owner="$2" ;;
        --operators) operators="$2" ;;
        --readers) readers="$2" ;;
        --operator) operator_logins+=("$2") ;;
        --reader) reader_logins+=("$2") ;;
        *) usage ;;
    esac
    shift 2
done

# Plain lower-case names need no quoting anywhere: in psql, in pg_hba.conf, in a URI, in
# ~/.pgpass and in the environment variable's name.
groups=("$owner" "$operators" "$readers")
logins=("${operator_logins[@]}" "${reader_logins[@]}")
for name in "$database" "${groups[@]}" "${logins[@]}"; do
    [[ "$name" =~ ^[a-z_][a-z0-9_]{0,62}$ ]] ||
        fail "«$name»: имя должно состоять из строчных латинских букв, цифр и «_»"
done
all=("${groups[@]}" "${logins[@]}")
duplicate="$(printf '%s\n' "${all[@]}" | sort | uniq -d | head -n1)"
[ -z "$duplicate" ] || fail "«$duplicate» названо дважды: у каждой роли одно назначение"

# psql needs no folder of ours; as postgres it may not enter root's.
cd /
if ((EUID == 0)); then
    psql=(runuser -u postgres -- psql)
else
    psql=(psql)
fi
psql+=(-X -q -v ON_ERROR_STOP=1)

joined() {
    local IFS=,
    echo "$*"
}

# A database that is there already must hold UTF-8 (psql's -c takes no variables: the query
# comes on the standard input).
encoding="$("${psql[@]}" -d postgres -At -v database="$database" <<<"SELECT
    pg_encoding_to_char(encoding) FROM pg_database WHERE datname = :'database'")"
[ -z "$encoding" ] || [ "$encoding" = UTF8 ] ||
    fail "база данных «$database» в кодировке $encoding, а нужна UTF8: перенесите" \
        "справочник в новую базу (pg_dump, dropdb, этот скрипт, pg_restore)"

# The roles and the database. \gexec runs each statement a query spells out, so every one
# is made only when missing; CREATE DATABASE cannot run inside a transaction.
"${psql[@]}" -d postgres -v owner="$owner" -v operators="$operators" -v readers="$readers" \
    -v database="$database" -v operator_logins="$(joined "${operator_logins[@]}")" \
    -v reader_logins="$(joined "${reader_logins[@]}")" <<'SQL'
CREATE TEMPORARY TABLE wanted (login name, team name);
INSERT INTO wanted SELECT l, :'operators' FROM unnest(string_to_array(:'operator_logins', ',')) l;
INSERT INTO wanted SELECT l, :'readers' FROM unnest(string_to_array(:'reader_logins', ',')) l;

SELECT format('CREATE ROLE %I', r) FROM unnest(ARRAY[:'owner', :'operators', :'readers']) r
    WHERE NOT EXISTS (SELECT FROM pg_roles WHERE rolname = r)
UNION ALL
SELECT format('CREATE ROLE %I', login) FROM wanted
    WHERE NOT EXISTS (SELECT FROM pg_roles WHERE rolname = login) \gexec
SELECT format('ALTER ROLE %I LOGIN', r) FROM unnest(ARRAY[:'owner']) r
UNION ALL SELECT format('ALTER ROLE %I NOLOGIN', g) FROM unnest(ARRAY[:'operators', :'readers']) g
UNION ALL SELECT format('ALTER ROLE %I LOGIN', login) FROM wanted \gexec

-- A person is in one group: a reader made an operator leaves the readers, and back.
SELECT format('REVOKE %I FROM %I', g.rolname, w.login)
    FROM wanted w JOIN pg_roles u ON u.rolname = w.login
    JOIN pg_auth_members m ON m.member = u.oid JOIN pg_roles g ON g.oid = m.roleid
    WHERE g.rolname IN (:'operators', :'readers') AND g.rolname <> w.team
UNION ALL
SELECT format('GRANT %I TO %I', w.team, w.login) FROM wanted w
    WHERE NOT pg_has_role(w.login, w.team, 'MEMBER') \gexec

-- UTF-8 whatever the cluster's own default is (a root made without a locale has SQL_ASCII,
-- where the server would fold and compare bytes instead of letters).
SELECT format('CREATE DATABASE %I OWNER %I TEMPLATE template0 ENCODING %L LOCALE %L',
              :'database', :'owner', 'UTF8', 'C.UTF-8')
    WHERE NOT EXISTS (SELECT FROM pg_database WHERE datname = :'database') \gexec
SELECT format('ALTER DATABASE %I OWNER TO %I', :'database', :'owner') \gexec
SELECT format('REVOKE ALL ON DATABASE %I FROM PUBLIC', :'database')
UNION ALL SELECT format('GRANT CONNECT ON DATABASE %I TO %I, %I', :'database', :'operators',
                        :'readers') \gexec
SQL

# The rights inside the database, in one transaction: first taken away, then given, so the
# groups end with exactly these whatever they had.
"${psql[@]}" -d "$database" -v owner="$owner" -v operators="$operators" \
    -v readers="$readers" <<'SQL'
BEGIN;
REVOKE CREATE ON SCHEMA public FROM PUBLIC;
GRANT USAGE ON SCHEMA public TO :"operators", :"readers";
REVOKE ALL ON ALL TABLES IN SCHEMA public FROM :"operators", :"readers";
REVOKE ALL ON ALL SEQUENCES IN SCHEMA public FROM :"operators", :"readers";
GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO :"operators";
GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO :"operators";
GRANT SELECT ON ALL TABLES IN SCHEMA public TO :"readers";
ALTER DEFAULT PRIVILEGES FOR ROLE :"owner" IN SCHEMA public
    REVOKE ALL ON TABLES FROM :"operators", :"readers";
ALTER DEFAULT PRIVILEGES FOR ROLE :"owner" IN SCHEMA public
    REVOKE ALL ON SEQUENCES FROM :"operators", :"readers";
ALTER DEFAULT PRIVILEGES FOR ROLE :"owner" IN SCHEMA public
    GRANT SELECT, INSERT, UPDATE, DELETE ON TABLES TO :"operators";
ALTER DEFAULT PRIVILEGES FOR ROLE :"owner" IN SCHEMA public
    GRANT USAGE ON SEQUENCES TO :"operators";
ALTER DEFAULT PRIVILEGES FOR ROLE :"owner" IN SCHEMA public
    GRANT SELECT ON TABLES TO :"readers";
COMMIT;
SQL

# The passwords. psql's \password reads the terminal when there is one, else its standard
# input; setsid takes the terminal away so that the variable's value is read. Its prompts go
# to the error output, which is shown only when it fails.
for login in "$owner" "${logins[@]}"; do
    variable="TELSPR_PASSWORD_${login^^}"
    if [ -n "${!variable:-}" ]; then
        if ! said="$(printf '%s\n%s\n' "${!variable}" "${!variable}" |
            setsid -w "${psql[@]}" -d postgres -c "\\password $login" 2>&1 >/dev/null)"; then
            fail "пароль роли $login не задан: $said"
        fi
        echo "Пароль роли $login задан из переменной $variable."
        continue
    fi
    has_password="$("${psql[@]}" -d postgres -At -v login="$login" <<<"SELECT
        rolpassword IS NOT NULL FROM pg_authid WHERE rolname = :'login'")"
    [ "$has_password" = f ] || continue
    if (exec </dev/tty) 2>/dev/null; then
        echo "Пароль роли $login:"
        "${psql[@]}" -d postgres -c "\\password $login"
    else
        echo "У роли $login нет пароля; задайте его: runuser -u postgres -- psql -c '\\password $login'"
    fi
done

echo "База данных $database: владелец $owner; операторы ($operators):" \
    "${operator_logins[*]:-—}; только поиск ($readers): ${reader_logins[*]:-—}."
