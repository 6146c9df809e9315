#!/usr/bin/env bash
# Inside .ci/run's first fresh Debian 12 root, as root, once the package is installed there:
# the README's walk-through for a shared directory, its commands run as written (each line
# must stand in the README), on the root's own PostgreSQL cluster. The administrator (root)
# loads a 100,000-line town CSV as the owner and replaces it; the operator ivanova's and the
# reader petrov's programs (the test program test_server_roles, as those system users, each
# with a password file of their own) work over TLS with the server's certificate checked;
# psql shows what the operator is refused; a backup is restored into a new database. Writes
# OUT/walk-through: the load and replace times.
#     bash .ci/walk_through.sh [OUT]
# It runs in a network namespace of its own, whose loopback device carries the server's
# address in the README's example network (192.0.2.0/24): nothing leaves the namespace.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/srv/out}"

fail() {
    echo "walk_through: $*" >&2
    exit 1
}

if [ "${TELSPR_WALK_THROUGH_NAMESPACE:-}" != 1 ]; then
    # The tool of the check, not of the walk-through: ip, to set the namespace's address.
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends iproute2 >/dev/null
    TELSPR_WALK_THROUGH_NAMESPACE=1 exec unshare --net bash "$0" "$out"
fi
[ "$(awk 'NR > 2 {print $1}' /proc/net/dev)" = "lo:" ] ||
    fail "not in a network namespace of its own"
ip link set lo up
ip address add 192.0.2.10/24 dev lo
echo "192.0.2.10 dbhost" >>/etc/hosts
mkdir -p "$out"
work="$(mktemp -d)"
chmod 755 "$work"
trap 'pg_ctlcluster 15 main stop &>/dev/null || true; rm -rf "$work"' EXIT

# Runs README lines, as written, with bash: as root in the current folder, or with
# --as USER in that user's home and environment.
readme() {
    local user=
    if [ "$1" = --as ]; then
        user="$2"
        shift 2
    fi
    local line
    while IFS= read -r line; do
        grep -qF -- "$line" "$here/README.md" || fail "not in the README: $line"
    done <<<"$1"
    if [ -z "$user" ]; then
        bash -euo pipefail -c "$1"
    else
        as_user "$user" bash -euo pipefail -c "cd; $1"
    fi
}
# A command as a system user, in their home, with what a login gives it and nothing of root's.
as_user() {
    local user="$1" home
    shift
    home="$(getent passwd "$user" | cut -d: -f6)"
    (cd "$home" && runuser -u "$user" -- env -i "HOME=$home" PATH=/usr/local/bin:/usr/bin:/bin \
        LANG=C.UTF-8 "$@")
}
# SQL as the server's superuser, on the server itself; prints the first value.
value() {
    (cd / && runuser -u postgres -- psql -X -At -d "$1" -c "$2")
}
seconds_since() {
    awk -v start="$1" -v end="$EPOCHREALTIME" 'BEGIN {printf "%.1f", end - start}'
}

echo "--- 1. PostgreSQL installed"
readme 'apt-get install postgresql'
# What systemd does on a real server; in the root, mmdebstrap's policy kept it from starting.
pg_ctlcluster 15 main start

echo "--- 2. The roles and the database"
useradd --create-home ivanova
useradd --create-home petrov
# What the administrator would type at the prompts, here from the environment.
owner_password="$(openssl rand -hex 16)"
ivanova_password="$(openssl rand -hex 16)"
petrov_password="$(openssl rand -hex 16)"
(
    cd "$here"
    TELSPR_PASSWORD_TELSPR_OWNER="$owner_password" TELSPR_PASSWORD_IVANOVA="$ivanova_password" \
        TELSPR_PASSWORD_PETROV="$petrov_password" \
        readme 'bash tools/setup_server_roles.sh --operator ivanova --reader petrov'
)

echo "--- 3. The certificate authority and the server's certificate"
(
    cd "$work"
    readme 'mkdir -p /root/telspr-ca && cd /root/telspr-ca
openssl req -x509 -new -nodes -days 3650 -subj "/CN=Olmarsk directory CA" -keyout ca.key -out ca.crt
openssl req -new -nodes -subj "/CN=dbhost" -addext "subjectAltName=DNS:dbhost" -keyout server.key -out server.csr
openssl x509 -req -days 825 -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -copy_extensions copy -out server.crt
install -o postgres -g postgres -m 600 server.crt server.key /etc/postgresql/15/main/' \
        2> >(grep -v '^[-.+*]*$' >&2)  # without openssl's rows of dots
)

echo "--- 4. The server opened to the operators' network, over TLS only"
readme "cat >/etc/postgresql/15/main/conf.d/telspr.conf <<'EOF'
listen_addresses = '*'
ssl = on
ssl_cert_file = '/etc/postgresql/15/main/server.crt'
ssl_key_file = '/etc/postgresql/15/main/server.key'
password_encryption = scram-sha-256
EOF
echo 'hostssl tel telspr_owner,+telspr_operators,+telspr_readers 192.0.2.0/24 scram-sha-256' >>/etc/postgresql/15/main/pg_hba.conf
pg_ctlcluster 15 main restart"

echo "--- 5. The certificate authority's certificate on the machines that connect"
(cd /root/telspr-ca && readme 'install -D -m 644 ca.crt /etc/telspr/ca.crt')

echo "--- 6. Each user's password file"
# Written as an editor would; petrov keeps his where PGPASSFILE says.
printf 'dbhost:5432:tel:telspr_owner:%s\n' "$owner_password" >/root/.pgpass
printf 'dbhost:5432:tel:ivanova:%s\n' "$ivanova_password" >/home/ivanova/.pgpass
chown ivanova: /home/ivanova/.pgpass
printf 'dbhost:5432:tel:petrov:%s\n' "$petrov_password" >/home/petrov/directory.pgpass
chown petrov: /home/petrov/directory.pgpass
readme 'chmod 0600 ~/.pgpass'
readme --as ivanova 'chmod 0600 ~/.pgpass'
as_user petrov chmod 0600 /home/petrov/directory.pgpass

echo "--- 7. The owner's tables, the town's entries loaded and replaced"
# Two years of the town's directory and a personal one, from the demo generator.
for made in "town 1 100000 0" "town-2027 2 100000 0" "personal 3 0 40"; do
    read -r name seed city personal <<<"$made"
    telspr-demo --seed "$seed" --city "$city" --personal "$personal" "$work/$name.dll" >/dev/null
    table=tel
    [ "$personal" = 0 ] || table=lich
    sqlite3 -csv -header "$work/$name.dll" "SELECT * FROM $table" >"/root/$name.csv"
done
cd /root
owner='OWNER="Provider=PostgreSQL;Data Source=postgresql://telspr_owner@dbhost:5432/tel?sslmode=verify-full&sslrootcert=/etc/telspr/ca.crt"'
readme "$owner
telspr-demo --city 0 --personal 0 --connection \"\$OWNER\""
bash -c "$owner"'; telspr-import personal.csv --personal --connection "$OWNER"' >/dev/null
personal_of() {
    value tel "SELECT count(*) || ' ' || md5(string_agg(lich::text, '|' ORDER BY key)) FROM lich"
}
personal_before="$(personal_of)"
start=$EPOCHREALTIME
readme "$owner
telspr-import town.csv --connection \"\$OWNER\""
load_time="$(seconds_since "$start")"
[ "$(value tel 'SELECT count(*) FROM tel')" = 100000 ] || fail "the town's 100,000 entries were not loaded"
last_key="$(value tel 'SELECT max(key) FROM tel')"
start=$EPOCHREALTIME
readme "$owner
telspr-import town-2027.csv --replace --connection \"\$OWNER\""
replace_time="$(seconds_since "$start")"
[ "$(value tel "SELECT count(*) || ' ' || (min(key) > $last_key) FROM tel")" = "100000 true" ] ||
    fail "the replacement did not leave the new file's 100,000 entries alone"
[ "$(personal_of)" = "$personal_before" ] ||
    fail "replacing the town's entries changed the personal directory"
echo "100,000 lines loaded in $load_time s, replaced in $replace_time s" | tee "$out/walk-through"

echo "--- 8. The operator's and the reader's programs; what the operator is refused"
program="Provider=PostgreSQL;Data Source=postgresql://ivanova@dbhost:5432/tel?sslmode=verify-full&sslrootcert=/etc/telspr/ca.crt"
grep -qF "telspr --connection \"$program\"" "$here/README.md" || fail "not in the README: $program"
as_user ivanova QT_QPA_PLATFORM=offscreen TEL_TEST_OPERATOR="$program" \
    "$here/build/tests/tools/test_server_roles" anOperatorsProgramAddsFindsChangesAndDeletes
as_user petrov QT_QPA_PLATFORM=offscreen PGPASSFILE=/home/petrov/directory.pgpass \
    TEL_TEST_READER="${program/ivanova@/petrov@}" "$here/build/tests/tools/test_server_roles" \
    aReadersProgramSearchesAndIsRefusedChangesAtOnce
# What the operator is refused, asked with psql as the README shows; the first statement is
# the README's, the others the walk-through's own.
ivanova_psql='psql "host=dbhost dbname=tel user=ivanova sslmode=verify-full sslrootcert=/etc/telspr/ca.crt"'
grep -qF "$ivanova_psql -c 'DROP TABLE tel'" "$here/README.md" ||
    fail "not in the README: $ivanova_psql -c 'DROP TABLE tel'"
as_ivanova() {
    as_user ivanova bash -c "$ivanova_psql -X -At -c \"\$1\" 2>&1" - "$1"
}
for refusal in 'DROP TABLE tel' 'ALTER TABLE tel ADD COLUMN note text' 'TRUNCATE lich' \
    'DROP INDEX tel_fold_fam'; do
    if said="$(as_ivanova "$refusal")" || [[ "$said" != *"must be owner"* && "$said" != *"permission denied"* ]]; then
        fail "ivanova's $refusal was not refused for want of rights: $said"
    fi
    echo "ivanova: $refusal: $said"
done
[ "$(as_ivanova 'SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()')" = t ] ||
    fail "ivanova's connection is not encrypted"
if said="$(as_user ivanova psql "host=dbhost dbname=tel user=ivanova sslmode=disable" -c 'SELECT 1' 2>&1)" ||
    [[ "$said" != *"no pg_hba.conf entry"* ]]; then
    fail "a connection without TLS was not refused: $said"
fi

echo "--- 9. A backup, restored into a new database"
readme "runuser -l postgres -c 'pg_dump --format=custom tel' >/var/backups/tel.dump"
readme "runuser -l postgres -c 'createdb --template=template0 --encoding=UTF8 --locale=C.UTF-8 tel_check'
runuser -l postgres -c 'pg_restore --dbname=tel_check' </var/backups/tel.dump"
for table in tel lich; do
    [ "$(value tel_check "SELECT count(*) FROM $table")" = "$(value tel "SELECT count(*) FROM $table")" ] ||
        fail "the restored $table has other entries than the directory's"
done
[ "$(value tel_check "SELECT has_table_privilege('ivanova', 'tel', 'DELETE')")" = t ] ||
    fail "the restored directory lost the operators' rights"
echo "The backup restored: $(value tel_check 'SELECT count(*) FROM tel') city entries, the rights with them"
readme "runuser -l postgres -c 'pg_restore --clean --if-exists --single-transaction --dbname=tel' </var/backups/tel.dump"
[ "$(value tel "SELECT count(*) || ' ' || has_table_privilege('ivanova', 'tel', 'DELETE') ||
    ' ' || has_table_privilege('petrov', 'tel', 'INSERT') FROM tel")" = "100000 true false" ] ||
    fail "the directory restored in place lost entries or rights"
echo "The backup restored in place of the directory, with its rights"
