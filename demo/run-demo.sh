#!/bin/sh
# Builds the demo application folder beside the Linux launcher and starts it
# the way a user would: the launcher renamed after the product, its settings
# file and classes beside it.
set -u
build="$1"
demo="$build/demo"
source_dir=$(dirname "$0")

rm -rf "$demo"
mkdir -p "$demo/classes"
javac -d "$demo/classes" "$source_dir/src/demo/HelloTala.java" || exit 1
cp "$build/linux/tala" "$demo/hello-tala"
cp "$source_dir/hello-tala.ini" "$demo/hello-tala.ini"

echo "Starting $demo/hello-tala \"first argument\" second"
"$demo/hello-tala" "first argument" second
code=$?
echo "hello-tala ended with exit code $code."
case $code in
    0)   echo "The Java application ran through the launcher." ;;
    255) echo "The launcher could not start the application (exit code -1); it said why above." ;;
    *)   echo "The application's own exit code." ;;
esac
exit 0
