#!/bin/sh
# Runs a test program in a user and mount namespace of its own, where host
# names come only from a hosts file of the test's ("hosts: files"). The
# program finds the file through OVPB_TEST_HOSTS. Exit code 77 (skipped)
# where the system refuses the namespace.
#   in_namespace.sh HOSTS PROGRAM [ARGUMENTS...]
set -u
hosts=$1
shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$hosts" "$dir/hosts"
printf 'hosts: files\n' > "$dir/nsswitch.conf"
if ! unshare --user --map-current-user --mount true 2>/dev/null; then
  echo "user and mount namespaces are refused here: the real look-ups are skipped"
  exit 77
fi
unshare --user --map-current-user --mount sh -c '
  dir=$1; shift
  mount --bind "$dir/hosts" /etc/hosts && mount --bind "$dir/nsswitch.conf" /etc/nsswitch.conf || exit 77
  OVPB_TEST_HOSTS="$dir/hosts" exec "$@"' sh "$dir" "$@"
