# Sourced by the scripts that work with Debian's armhf packages: the shared
# stages and logs (stages.sh), and a private APT state that downloads armhf
# packages without the machine's dpkg ever learning about armhf.
#
# The sourcing script sets log_tag (e.g. "armhf").
# shellcheck shell=bash disable=SC2154

# shellcheck source=scripts/stages.sh
. "$(dirname "${BASH_SOURCE[0]}")/stages.sh"

# The Debian archives the machine installs from, one "URI SUITE COMPONENT" a
# line, as APT itself resolved them from the machine's sources (one-line or
# deb822 format alike).
debian_archives() {
    apt-cache policy 2>/dev/null | awk -v arch="$(dpkg --print-architecture)" '
        $3 ~ /\// && $4 == arch && $5 == "Packages" { uri = $2; dist = $3; pending = 1; next }
        pending && $1 == "release" {
            if ($0 ~ /[ ,]o=Debian(,|$)/) {
                component = dist; sub(/.*\//, "", component)
                suite = substr(dist, 1, length(dist) - length(component) - 1)
                print uri, suite, component
            }
            pending = 0
        }' | sort -u
}

write_armhf_sources() {
    local list=$1 archives options="arch=armhf"
    archives=$(debian_archives)
    if [ -z "$archives" ] && [ "$(id -u)" -eq 0 ]; then
        apt-get -q -o DPkg::Lock::Timeout=600 update >/dev/null || true
        archives=$(debian_archives)
    fi
    if [ -z "$archives" ]; then
        # shellcheck disable=SC1091
        archives="http://deb.debian.org/debian $(. /etc/os-release && echo "$VERSION_CODENAME") main"
        log "warning: no Debian archive found in the machine's APT lists, using $archives"
    fi
    if [ -f /usr/share/keyrings/debian-archive-keyring.gpg ]; then
        options="$options signed-by=/usr/share/keyrings/debian-archive-keyring.gpg"
    fi
    echo "$archives" | while read -r uri suite component; do
        echo "deb [$options] $uri $suite $component"
    done >"$list"
}

# Makes the private APT state in the folder apt (its sources written from the
# machine's Debian archives) and sets aptopts, the options that make apt-get
# and apt-cache use it.
armhf_apt_state() {
    local apt=$1
    mkdir -p "$apt/state/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d" "$apt/preferences.d"
    write_armhf_sources "$apt/sources.list"
    : >"$apt/state/status"
    aptopts=(
        -o APT::Architecture=armhf -o APT::Architectures=armhf
        -o Dir::State="$apt/state" -o Dir::State::Lists="$apt/state/lists"
        -o Dir::State::status="$apt/state/status" -o Dir::Cache="$apt/cache"
        -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts="$apt/sources.list.d"
        -o Dir::Etc::PreferencesParts="$apt/preferences.d" -o Dir::Etc::Preferences="$apt/preferences"
        -o APT::Install-Recommends=false -o APT::Install-Suggests=false
    )
}

# Downloads the armhf package indexes into the state armhf_apt_state made.
armhf_apt_update() {
    local apt=$1
    # An index that fails to download (an update or security suite) is
    # tolerated: the main archive holds every package we take.
    apt-get -q "${aptopts[@]}" update || log "warning: some armhf indexes failed to download"
    compgen -G "$apt/state/lists/*_Packages*" >/dev/null || die "no armhf package index could be downloaded"
}
