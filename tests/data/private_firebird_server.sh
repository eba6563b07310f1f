#!/usr/bin/env bash
# Starts or stops a Firebird server of the tests' own: its own root folder, configuration,
# security database and loopback port, all under the folder given. Used as a CTest fixture.
#   private_firebird_server.sh start DIR   -> DIR/port holds the port, DIR/password the SYSDBA password
#   private_firebird_server.sh stop DIR
set -euo pipefail
action="$1"
dir="$2"
engine=/usr/lib/x86_64-linux-gnu/firebird/3.0
server=/usr/sbin/firebird

stop_server() {
    if [ -f "$dir/pid" ]; then
        kill "$(cat "$dir/pid")" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$(cat "$dir/pid")" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$(cat "$dir/pid")" 2>/dev/null || true
    fi
}

if [ "$action" = stop ]; then
    stop_server
    rm -rf "$dir"
    exit 0
fi

[ -x "$server" ] || { echo "the Firebird server ($server, package firebird3.0-server) is not installed" >&2; exit 1; }
stop_server
rm -rf "$dir"
mkdir -p "$dir/root/intl" "$dir/lock" "$dir/db"
ln -s "$engine/plugins" "$dir/root/plugins"
ln -s "$engine/plugins.conf" "$dir/root/plugins.conf"
ln -s "$engine/firebird.msg" "$dir/root/firebird.msg"
cp "$engine/intl/libfbintl.so" "$engine/intl/fbintl.conf" "$dir/root/intl/"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
password="Srv$RANDOM$RANDOM"
cat > "$dir/root/firebird.conf" <<CONF
ServerMode = Super
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
SecurityDatabase = $dir/root/security3.fdb
Providers = Remote, Engine12
AuthServer = Srp
UserManager = Srp
CONF
export FIREBIRD="$dir/root" FIREBIRD_LOCK="$dir/lock"
echo "create database '$dir/root/security3.fdb' user 'SYSDBA';" | isql-fb -q
echo "create user SYSDBA password '$password' using plugin Srp; commit;" | isql-fb -q -user SYSDBA "$dir/root/security3.fdb"
"$server" > "$dir/server.log" 2>&1 &
echo $! > "$dir/pid"
for _ in $(seq 100); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
        echo "$port" > "$dir/port"
        echo "$password" > "$dir/password"
        exit 0
    fi
    sleep 0.1
done
echo "the private Firebird server did not start:" >&2
cat "$dir/server.log" >&2
exit 1
