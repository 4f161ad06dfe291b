#!/usr/bin/env bash
# A tala.exe packed with carried settings and a jar, then Authenticode-signed as a release would be.
set -euo pipefail

[[ $# -eq 5 ]] || { echo "usage: $0 SESSION_DIR TALA_EXE TALA_PACK_EXE STANDIN_VM JDK_HOME" >&2; exit 2; }
session=$1 tala=$2 pack=$3 standin=$4 jdk=$5
# shellcheck source=/dev/null
source "$session/session.env"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
app=$work/app
failures=0

fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
windows_path() { local path=$1; echo "Z:${path//\//\\}"; }

# A jar whose main says it was found; the stand-in VM, whose main told "exit 42" calls System.exit(42).
mkdir -p "$work/src/shop" "$work/classes" "$app/jre/bin/server"
echo 'package shop; public class Found { public static void main(String[] args) {
    System.out.println("found in the launcher"); } }' >"$work/src/shop/Found.java"
"$jdk/bin/javac" -d "$work/classes" "$work/src/shop/Found.java"
"$jdk/bin/jar" cf "$work/app.jar" -C "$work/classes" .
cp "$standin" "$app/jre/bin/server/jvm.dll"
printf 'main-class=shop/App\n' >"$app/jre/bin/server/standin-scenario.txt"
cat >"$work/carry.ini" <<EOF
[Product Information]
Upgrade Code=signed-1
[Java Runtime Environment]
Main Class=shop.App
JRE Path=$(windows_path "$app/jre")
[Application]
Embedded Jar=Yes
EOF
printf '[Product Information]\r\nUpgrade Code=signed-1\r\n' >"$app/Shop.ini"

for output in Shop.exe Again.exe; do
    wine "$pack" --launcher "$(windows_path "$tala")" --output "$(windows_path "$app/$output")" \
        --settings "$(windows_path "$work/carry.ini")" --jar "$(windows_path "$work/app.jar")" \
        --version ProductName=Shop --version FileVersion=2.0.0.1
done
cmp -s "$app/Shop.exe" "$app/Again.exe" || fail "the same inputs packed twice differ"

# Wine loads images Windows refuses: every section's data must start at a multiple of the file alignment.
objdump=x86_64-w64-mingw32-objdump
alignment=$((16#$("$objdump" -p "$app/Shop.exe" | awk '/^FileAlignment/ {print $2}')))
while read -r name offset; do
    ((16#$offset % alignment == 0)) || fail "section $name starts at $offset, off the file alignment $alignment"
done < <("$objdump" -h "$app/Shop.exe" | awk '/^ +[0-9]+ / {print $2, $6}')

# No icons here; every resource of tala.exe stays, the version and the settings are added.
listing=$(wrestool -l "$app/Shop.exe")
for resource in "--type=5 --name=201 " "--type=5 --name=231 " "--type=6 --name=13 " "--type=6 --name=14 " \
    "--type=6 --name=15 " "--type=16 --name=1 " "--type=24 --name=1 " "--type=10 --name='TALA_SETTINGS' "; do
    [[ $listing == *"$resource"* ]] || fail "wrestool does not list $resource in:"$'\n'"$listing"
done

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 1 \
    -subj "/CN=Tala test signer" 2>/dev/null
osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n Shop -in "$app/Shop.exe" \
    -out "$app/Signed.exe" >/dev/null || fail "osslsigncode cannot sign the packed launcher"
osslsigncode verify -CAfile "$work/cert.pem" "$app/Signed.exe" >"$work/verify.txt" 2>&1 ||
    fail "osslsigncode does not verify the signed launcher:"$'\n'"$(cat "$work/verify.txt")"
mv "$app/Signed.exe" "$app/Shop.exe"

# A message box would keep it open: the time-out then ends it with 124.
status=0
timeout 30 wine "$app/Shop.exe" exit 42 || status=$?
[[ $status -eq 42 ]] || fail "the signed launcher ended with $status, not main's 42"
grep -qxF "option none -Djava.class.path=$(windows_path "$app/Shop.exe");" "$app/jre/bin/server/standin-record.txt" ||
    fail "the class path is not the launcher itself:"$'\n'"$(cat "$app/jre/bin/server/standin-record.txt")"

found=$("$jdk/bin/java" -cp "$app/Shop.exe" shop.Found 2>&1) || true
[[ $found == "found in the launcher" ]] || fail "the JDK does not find the jar in the signed launcher: $found"

((failures == 0)) && echo "the signed launcher verifies, runs and carries its jar"
exit $((failures == 0 ? 0 : 1))
