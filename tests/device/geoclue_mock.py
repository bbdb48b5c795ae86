'''GeoClue 2 stand-in for the device tests (python3-dbusmock template).

Manager.GetClient gives the caller's one client (CreateClient always a new one). A client's Start
succeeds only for the program's desktop id asking for the exact level (8), and not while access is
denied (SetDenied), like GeoClue with the desktop's location switch off. EmitLocation makes a Location object and announces it to every started client with
LocationUpdated, as GeoClue does for each new position.
'''

import dbus

from dbusmock import MOCK_IFACE
from dbusmock.mockobject import objects

BUS_NAME = 'org.freedesktop.GeoClue2'
MAIN_OBJ = '/org/freedesktop/GeoClue2/Manager'
MAIN_IFACE = 'org.freedesktop.GeoClue2.Manager'
SYSTEM_BUS = True

CLIENT_IFACE = 'org.freedesktop.GeoClue2.Client'
LOCATION_IFACE = 'org.freedesktop.GeoClue2.Location'

state = {'clients': [], 'locations': 0, 'denied': False}


def start(client):
    if (client.Get(CLIENT_IFACE, 'DesktopId') != 'io.github.ambulo_gps.Ambulo' or
            client.Get(CLIENT_IFACE, 'RequestedAccuracyLevel') != 8 or state['denied']):
        raise dbus.exceptions.DBusException("desktop id or accuracy disallowed", name='org.freedesktop.DBus.Error.AccessDenied')
    client.Set(CLIENT_IFACE, 'Active', True)


def stop(client):
    client.Set(CLIENT_IFACE, 'Active', False)


def load(mock, parameters):
    mock.AddProperties(MAIN_IFACE, {'InUse': False, 'AvailableAccuracyLevel': dbus.UInt32(8)})


@dbus.service.method(MAIN_IFACE, in_signature='', out_signature='o')
def CreateClient(self):
    path = f'/org/freedesktop/GeoClue2/Client/{len(state["clients"]) + 1}'
    self.AddObject(path, CLIENT_IFACE, {
        'Location': dbus.ObjectPath('/'),
        'DistanceThreshold': dbus.UInt32(0),
        'TimeThreshold': dbus.UInt32(0),
        'DesktopId': '',
        'RequestedAccuracyLevel': dbus.UInt32(0),
        'Active': False,
    }, [('Start', '', '', start), ('Stop', '', '', stop)])
    state['clients'].append(path)
    return dbus.ObjectPath(path)


@dbus.service.method(MAIN_IFACE, in_signature='', out_signature='o')
def GetClient(self):
    if state['clients']:
        return dbus.ObjectPath(state['clients'][0])
    return CreateClient(self)


@dbus.service.method(MOCK_IFACE, in_signature='b', out_signature='')
def SetDenied(_self, denied):
    state['denied'] = bool(denied)


@dbus.service.method(MOCK_IFACE, in_signature='ddddtt', out_signature='o')
def EmitLocation(self, latitude, longitude, altitude, speed, seconds, microseconds):
    state['locations'] += 1
    path = dbus.ObjectPath(f'/org/freedesktop/GeoClue2/Location/{state["locations"]}')
    self.AddObject(path, LOCATION_IFACE, {
        'Latitude': dbus.Double(latitude),
        'Longitude': dbus.Double(longitude),
        'Accuracy': dbus.Double(5.0),
        'Altitude': dbus.Double(altitude),
        'Speed': dbus.Double(speed),
        'Heading': dbus.Double(-1.0),
        'Description': '',
        'Timestamp': dbus.Struct((dbus.UInt64(seconds), dbus.UInt64(microseconds)), signature='tt'),
    }, [])
    for client_path in state['clients']:
        client = objects[client_path]
        if client.Get(CLIENT_IFACE, 'Active'):
            old = client.Get(CLIENT_IFACE, 'Location')
            client.Set(CLIENT_IFACE, 'Location', path)
            client.EmitSignal(CLIENT_IFACE, 'LocationUpdated', 'oo', [old, path])
    return path
